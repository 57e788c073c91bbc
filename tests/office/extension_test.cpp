// veln.oxt as a user gets it: installed by unopkg into a clean profile,
// then, in a headless Writer started on that profile, a document linked by
// the veln command is opened and the toolbar's vnd.veln: commands are run
// through the office's own dispatch, their states heard by a status
// listener as a toolbar hears them.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XDialog.hpp>
#include <com/sun/star/awt/XExtendedToolkit.hpp>
#include <com/sun/star/frame/FeatureStateEvent.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XStatusListener.hpp>
#include <com/sun/star/util/URL.hpp>
#include <cppuhelper/implbase1.hxx>
#include <gtest/gtest.h>
#include <rtl/ref.hxx>

#include "installed_office.h"
#include "temp_dir.h"

namespace veln::test {
namespace {

using namespace host::office;

// What a toolbar button hears: the last state of its command.
class StateListener : public cppu::WeakImplHelper1<css::frame::XStatusListener> {
  public:
    void SAL_CALL statusChanged(const css::frame::FeatureStateEvent& event) override {
        heard = true;
        enabled = event.IsEnabled;
    }
    void SAL_CALL disposing(const css::lang::EventObject& /*source*/) override {}
    // Written by the bridge's thread as the office calls.
    std::atomic<bool> heard = false;
    std::atomic<bool> enabled = false;
};

// The office tells of some events after the call that caused them returned:
// waits, within a bound, for what it should tell.
bool Eventually(const std::function<bool()>& told) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!told()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

int RunShell(const std::string& command) {
    return std::system(command.c_str());  // NOLINT(cert-env33-c): the test's own program
}

class ExtensionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        const TempDir& dir = *dir_;
        // A user of our own, shared by the veln command and the office.
        setenv("HOME", dir.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        setenv("LANG", "C", 1);
        // A project and a document linked to it, with one element, made by veln.
        WriteFile(dir / "make.veln",
                  "addin connect\nanswer msgbox ok\nnew\n"
                  "answer folder .\nanswer input Brakes\nanswer msgbox yes\nanswer msgbox ok\n"
                  "click oCreateProjectDatabase\n"
                  "append \"The vehicle shall stop within 40 m.\"\nsaveas brakes.docx\n"
                  "answer open Brakes.mdb\nanswer input \"Braking requirements\"\n"
                  "click oRegisterDocument\n"
                  "caret para 1\nanswer input \"Stop distance\"\nclick oAdd1\nsave\nclose\n");
        ASSERT_EQ(RunShell("cd '" + dir.Path().string() +
                           "' && '" VELN_CLI "' script make.veln > make.log 2>&1"),
                  0)
            << ReadFile(dir / "make.log");
        // The office's add-in runs for the first time: it makes its template
        // in a window of its own while the extension starts.
        setenv("XDG_DATA_HOME", (dir / "office-data").c_str(), 1);
        office_ = new InstalledOffice(dir.Path().string());
    }

    static void TearDownTestSuite() {
        delete office_;
        office_ = nullptr;
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(office_, nullptr);
        Reference<css::frame::XComponentLoader> loader(Office().Desktop(), UNO_QUERY_THROW);
        model_.set(loader->loadComponentFromURL(FileUrl(*dir_ / "brakes.docx"),
                                                ToOUString("_blank"), 0, {}),
                   UNO_QUERY_THROW);
    }

    void TearDown() override {
        if (model_.is()) {
            Reference<css::util::XCloseable>(model_, UNO_QUERY_THROW)->close(true);
        }
    }

    Reference<css::frame::XDispatchProvider> Frame() const {
        return {Reference<css::frame::XModel>(model_, UNO_QUERY_THROW)
                    ->getCurrentController()
                    ->getFrame(),
                UNO_QUERY_THROW};
    }

    // Runs a command as the toolbar does; chosen: a drop-down's entry.
    void Dispatch(const std::string& command, const std::string& chosen = "") const {
        using Named = std::vector<std::pair<std::string, std::string>>;
        Dispatch(command, chosen.empty() ? Named{} : Named{{"Text", chosen}});
    }
    void Dispatch(const std::string& command,
                  const std::vector<std::pair<std::string, std::string>>& named) const {
        css::uno::Sequence<css::beans::PropertyValue> arguments(
            static_cast<sal_Int32>(named.size()));
        for (std::size_t i = 0; i < named.size(); ++i) {
            arguments.getArray()[i].Name = ToOUString(named[i].first);
            arguments.getArray()[i].Value <<= ToOUString(named[i].second);
        }
        DispatchCommand(Office(), model_, command, arguments);
    }

    static OfficeConnection& Office() { return office_->Connection(); }

    std::string Text() const { return FromOUString(model_->getText()->getString()); }

    // Whether the office shows a dialog of that title now.
    static bool ShowsDialog(const std::string& title) {
        Reference<css::awt::XExtendedToolkit> toolkit(css::awt::Toolkit::create(Office().Context()),
                                                      UNO_QUERY_THROW);
        // The toolkit's list of top windows is marked deprecated, and is what
        // the office offers another process of the windows it shows.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        for (sal_Int32 i = 0; i < toolkit->getTopWindowCount(); ++i) {
            Reference<css::awt::XDialog> dialog(toolkit->getTopWindow(i), UNO_QUERY);
#pragma GCC diagnostic pop
            if (dialog.is() && FromOUString(dialog->getTitle()) == title) {
                return true;
            }
        }
        return false;
    }

    std::string Variable(const std::string& name) const {
        Reference<css::beans::XPropertySet> properties(
            Reference<css::document::XDocumentPropertiesSupplier>(model_, UNO_QUERY_THROW)
                ->getDocumentProperties()
                ->getUserDefinedProperties(),
            UNO_QUERY_THROW);
        rtl::OUString value;
        properties->getPropertyValue(ToOUString("VELN_" + name)) >>= value;
        return FromOUString(value);
    }

    static TempDir* dir_;
    static InstalledOffice* office_;
    Reference<css::text::XTextDocument> model_;
};

TempDir* ExtensionTest::dir_ = nullptr;
InstalledOffice* ExtensionTest::office_ = nullptr;

TEST_F(ExtensionTest, ToolbarCommandsRunTheAddInOnTheDocumentWriterOpened) {
    // The extension attaches the linked document as it opens: numbers shown.
    Dispatch("oFirst");
    EXPECT_EQ(Text(), "//1.0.0.0// The vehicle shall stop within 40 m.");
    EXPECT_EQ(Variable("VARDOC_NUMBERS"), "1");

    Dispatch("oShowNumber");
    EXPECT_EQ(Text(), "The vehicle shall stop within 40 m.");
    EXPECT_EQ(Variable("VARDOC_NUMBERS"), "0");

    // The "Number" pop-up is a drop-down: its entry is named as shown.
    Dispatch("Popup3", "Display numbers");
    EXPECT_EQ(Text(), "//1.0.0.0// The vehicle shall stop within 40 m.");
    EXPECT_EQ(Variable("VARDOC_NUMBERS"), "1");

    // Commands the toolbar does not have change nothing.
    Dispatch("oNoSuchButton");
    Dispatch("Popup3", "No such entry");
    EXPECT_EQ(Text(), "//1.0.0.0// The vehicle shall stop within 40 m.");
}

// The benchmark's command: Writer's own loading beside VELN's part of it,
// and the commands, written as "name seconds" lines.
TEST_F(ExtensionTest, MeasureWritesTheFiguresOfTheLinkedDocument) {
    WriteFile(*dir_ / "plain.txt", "Nothing linked here.\n");
    Dispatch("Measure", {{"Linked", *dir_ / "brakes.docx"},
                         {"Unlinked", *dir_ / "plain.txt"},
                         {"Output", *dir_ / "figures.txt"}});
    // Taken on the office's main thread once the call has returned.
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(*dir_ / "figures.txt"); }));
    const std::string figures = ReadFile(*dir_ / "figures.txt");
    for (const char* name : {"writer_load_linked", "open_with_veln_linked", "veln_on_open_linked",
                             "writer_load_unlinked", "veln_on_open_unlinked", "next", "create"}) {
        EXPECT_NE(figures.find(std::string(name) + " "), std::string::npos) << name << "\n"
                                                                            << figures;
    }
}

// The element editor stands beside the document it was opened on: closing
// the document in Writer (closing Writer closes them all) goes through VELN's
// close listener, is not refused, takes the editor with it, and VELN goes on.
// That the editor's value is stored first is the forms' test's to show.
TEST_F(ExtensionTest, TheElementEditorClosesBeforeTheDocumentItWasOpenedOn) {
    const std::string editor = "Edition of Elements and Properties";
    Dispatch("oEdit");  // the caret at the start of the document's one element
    ASSERT_TRUE(Eventually([&] { return ShowsDialog(editor); }));

    Reference<css::util::XCloseable>(model_, UNO_QUERY_THROW)->close(true);
    model_.clear();
    EXPECT_TRUE(Eventually([&] { return !ShowsDialog(editor); }));

    // Writer and VELN go on: the document opened again shows its element.
    SetUp();
    Dispatch("oFirst");
    EXPECT_EQ(Text(), "//1.0.0.0// The vehicle shall stop within 40 m.");
}

TEST_F(ExtensionTest, StatesFollowTheActiveDocument) {
    css::util::URL url;
    url.Complete = ToOUString("vnd.veln:oAdd1");
    Reference<css::frame::XDispatch> dispatch = Frame()->queryDispatch(url, ToOUString(""), 0);
    ASSERT_TRUE(dispatch.is());
    rtl::Reference<StateListener> listener(new StateListener());
    const Reference<css::frame::XStatusListener> hearing(listener.get());
    dispatch->addStatusListener(hearing, url);
    EXPECT_TRUE(listener->heard);
    EXPECT_TRUE(listener->enabled) << "a linked document may create elements";

    // A new document is not linked: the command is disabled while it is active.
    Reference<css::frame::XComponentLoader> loader(Office().Desktop(), UNO_QUERY_THROW);
    Reference<css::util::XCloseable> fresh(
        loader->loadComponentFromURL(ToOUString("private:factory/swriter"), ToOUString("_blank"), 0,
                                     {}),
        UNO_QUERY_THROW);
    EXPECT_TRUE(Eventually([&] { return !listener->enabled; }));
    fresh->close(true);
    EXPECT_TRUE(Eventually([&] { return listener->enabled.load(); }))
        << "the linked document is active again";
    dispatch->removeStatusListener(hearing, url);
}

}  // namespace
}  // namespace veln::test
