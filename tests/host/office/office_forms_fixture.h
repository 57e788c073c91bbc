// The forms in a Writer whose dialogs run (drawn off screen): one office for
// the test program; in each test the program connected to it with the
// office's own dialogs, documents saved in the test's folder and opened in
// Writer, and a user who acts on the dialogs as they show.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "addin/connect_word.h"
#include "form_user.h"
#include "host/office/office_application.h"
#include "host/office/office_ui.h"
#include "world.h"

namespace veln::test {

// What the user does at a form's dialog, once it shows.
struct AtForm {
    std::string form;
    std::function<void(FormUser&)> act;
};

class OfficeFormsTest : public ::testing::Test, public World {
  public:
    static void TearDownTestSuite();

  protected:
    OfficeFormsTest();
    ~OfficeFormsTest() override;

    // A document of these paragraphs saved in the folder, linked to the
    // project unless docId is empty, then opened in Writer and active.
    host::Document& OpenInWriter(const std::vector<std::string>& paragraphs,
                                 const std::string& fileName,
                                 const std::string& docId = DOCUMENT_ID);
    // A user's click on the toolbar button the add-in holds in member, while
    // the user acts on each form of steps in turn as it shows; a step whose
    // form never shows fails the test.
    void Click(const std::string& member, std::vector<AtForm> steps = {});
    // The dialog of a form shown beside the documents, with its user.
    FormUser Beside(const std::string& form);

    static host::office::OfficeApplication& Office();
    host::office::OfficeUi officeUi;
    Context officeContext;
    addin::ConnectWord connect;

  private:
    static std::unique_ptr<host::office::OfficeApplication> office_;
};

}  // namespace veln::test
