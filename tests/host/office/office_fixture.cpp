#include "office_fixture.h"

namespace veln::test {

std::unique_ptr<host::office::OfficeApplication> OfficeTest::office_;

host::office::OfficeApplication& OfficeTest::Office() {
    if (office_ == nullptr) {
        office_ = host::office::OfficeApplication::Start();
    }
    return *office_;
}

void OfficeTest::TearDown() {
    if (office_ != nullptr) {
        while (office_->DocumentCount() > 0) {
            office_->CloseDocument(office_->DocumentItem(1));
        }
    }
}

void OfficeTest::TearDownTestSuite() {
    office_.reset();
}

}  // namespace veln::test
