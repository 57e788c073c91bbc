// One headless LibreOffice for a test program, in a profile of its own,
// started at the first test that asks and stopped when the program ends,
// also when a test fails; each test closes the documents it opened.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "host/office/office_application.h"
#include "temp_dir.h"

namespace veln::test {

class OfficeTest : public ::testing::Test {
  public:
    static void TearDownTestSuite();

  protected:
    void TearDown() override;
    // The running office; the first call starts it.
    static host::office::OfficeApplication& Office();

    TempDir dir;

  private:
    static std::unique_ptr<host::office::OfficeApplication> office_;
};

}  // namespace veln::test
