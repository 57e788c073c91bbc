// veln.oxt as a user gets it: installed by unopkg into a clean profile,
// then, in a headless Writer started on that profile, a document linked by
// the veln command is opened and the toolbar's vnd.veln: commands are run
// through the office's own dispatch, their states heard by a status
// listener as a toolbar hears them.
#include <cstdlib>
#include <string>
#include <vector>

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
    bool heard = false;
    bool enabled = false;
};

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
        DispatchCommand(Office(), model_, command,
                        chosen.empty()
                            ? css::uno::Sequence<css::beans::PropertyValue>()
                            : NamedValues({{"Text", css::uno::Any(ToOUString(chosen))}}));
    }

    static OfficeConnection& Office() { return office_->Connection(); }

    std::string Text() const { return FromOUString(model_->getText()->getString()); }

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
    EXPECT_FALSE(listener->enabled);
    fresh->close(true);
    EXPECT_TRUE(listener->enabled) << "the linked document is active again";
    dispatch->removeStatusListener(hearing, url);
}

}  // namespace
}  // namespace veln::test
