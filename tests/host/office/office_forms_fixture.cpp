#include "office_forms_fixture.h"

#include <chrono>
#include <filesystem>

#include "addin/command_boundary.h"
#include "addin/face_icons.h"
#include "addin/this_application.h"
#include "host/office/office_connection.h"
#include "host/office/office_form_dialog.h"
#include "host/word/document.h"

namespace veln::test {

std::unique_ptr<host::office::OfficeApplication> OfficeFormsTest::office_;

host::office::OfficeApplication& OfficeFormsTest::Office() {
    if (office_ == nullptr) {
        host::office::OfficeOptions options;
        options.dialogs = true;
        // A dialog nobody answers fails its test in half a minute.
        options.callSeconds = 30;
        office_ = host::office::OfficeApplication::Start(options);
    }
    return *office_;
}

void OfficeFormsTest::TearDownTestSuite() {
    office_.reset();
}

OfficeFormsTest::OfficeFormsTest()
    : officeUi(Office(), system.ProgramFolder()),
      officeContext(officeUi, system, Office()),
      connect(officeContext) {
    Office().StartupPath = system.StartupFolder();
    MakeStartupTemplate();
    officeUi.SetPictures([](int picture) { return std::string(addin::PictureIconName(picture)); });
    officeUi.SetFormRunner([this] {
        return [this](const std::function<void()>& handler) {
            addin::RunCommand(officeContext, handler);
        };
    });
    connect.AddinInstance_OnConnection(Office());
}

OfficeFormsTest::~OfficeFormsTest() {
    officeUi.CloseModeless();
    connect.AddinInstance_OnDisconnection();
    while (Office().DocumentCount() > 0) {
        Office().CloseDocument(Office().DocumentItem(1));
    }
    // The workbooks the tests opened in the office's spreadsheet.
    host::office::OfficeConnection& connection = Office().Connection();
    connection.Run(
        "closing the workbooks",
        [&] {
            namespace css = host::office::css;
            auto components = connection.Desktop()->getComponents()->createEnumeration();
            while (components->hasMoreElements()) {
                host::office::Reference<css::util::XCloseable> closeable(components->nextElement(),
                                                                         host::office::UNO_QUERY);
                if (closeable.is()) {
                    closeable->close(true);
                }
            }
        },
        0);
}

host::Document& OfficeFormsTest::OpenInWriter(const std::vector<std::string>& paragraphs,
                                              const std::string& fileName,
                                              const std::string& docId) {
    host::Document& document = NewDocument(paragraphs, fileName, docId);
    document.Save();
    const std::string path = document.FullName();
    app.CloseDocument(document);
    return Office().OpenDocument(path);
}

void OfficeFormsTest::Click(const std::string& member, std::vector<AtForm> steps) {
    addin::ThisApplication* addin = connect.Instance();
    host::CommandBarControl* button = addin == nullptr ? nullptr : addin->Member(member);
    ASSERT_NE(button, nullptr) << "the toolbar shows no " << member;
    std::string failure;
    std::thread user([this, &steps, &failure] {
        for (AtForm& step : steps) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            host::office::OfficeFormDialog* dialog = nullptr;
            while ((dialog = officeUi.Shown(step.form)) == nullptr &&
                   std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            if (dialog == nullptr) {
                failure = step.form + " never showed";
                return;
            }
            try {
                FormUser user(*dialog);
                user.WaitShown();
                step.act(user);
            } catch (const std::exception& error) {
                failure = step.form + ": " + error.what();
                dialog->Model().Unload();
                dialog->Push();
                return;
            }
        }
    });
    try {
        Office().Press(*button);
    } catch (...) {
        user.join();
        throw;
    }
    user.join();
    EXPECT_EQ(failure, "");
}

FormUser OfficeFormsTest::Beside(const std::string& form) {
    host::office::OfficeFormDialog* dialog = officeUi.Shown(form);
    if (dialog == nullptr) {
        throw std::runtime_error(form + " is not shown");
    }
    return FormUser(*dialog);
}

}  // namespace veln::test
