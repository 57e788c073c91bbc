// The desktop program in a test world: the windows on the offscreen
// platform, the scripted user answering their dialogs, a project database.
#pragma once

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "desktop.h"
#include "document_view.h"
#include "document_window.h"
#include "qt_ui.h"
#include "toolbar_view.h"
#include "world.h"

namespace veln::test {

// Runs answer on the next modal window of that class once it shows.
void WhenModal(const char* className, const std::function<void(QWidget*)>& answer);

class DesktopTest : public ::testing::Test, public World {
  protected:
    // With qt, the dialogs are Qt's own, which the test answers as a user
    // would; else the scripted user answers them.
    explicit DesktopTest(const std::string& locale = "C", bool qt = false)
        : World(locale), qt_(qt) {}
    ~DesktopTest() override;

    // Starts the program on files, as at a first run.
    void Start(const QStringList& files = {});
    // A document of these paragraphs saved in the folder and closed again,
    // linked to the project unless docId is empty: its path.
    QString SavedDocument(const std::vector<std::string>& paragraphs, const std::string& fileName,
                          const std::string& docId = DOCUMENT_ID);
    // The only window, or the one of that document.
    desktop::DocumentWindow& Window();
    desktop::DocumentView& View() { return Window().View(); }
    host::Document& Shown() { return Window().Document(); }
    // A user's click on the toolbar button that the add-in holds in member.
    void Click(const std::string& member);
    // The toolbar's action of a member.
    QAction* Action(const std::string& member);
    // Paints the view as the screen would.
    void Paint();

    bool qt_;
    desktop::QtUi qtUi;
    desktop::Desktop desktop{qt_ ? static_cast<host::Ui&>(qtUi) : ui, system};
};

}  // namespace veln::test
