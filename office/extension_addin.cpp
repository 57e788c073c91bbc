// VELN inside LibreOffice Writer: the add-in connected to the application
// over the office it runs in, with the office's own dialogs, and the
// program folder where the office installed the extension.
#include <chrono>
#include <filesystem>

#include <dlfcn.h>

#include "addin/command_boundary.h"
#include "addin/connect_word.h"
#include "addin/face_icons.h"
#include "elements/elements.h"
#include "host/office/office_application.h"
#include "host/office/office_extension.h"
#include "host/office/office_ui.h"
#include "host/system/posix_system.h"
#include "host/word/document.h"
#include "host/word/selection.h"

namespace veln::office {

namespace {

// The folder of the extension's library: the extension's own folder.
std::string ExtensionFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ExtensionFolder), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    return std::filesystem::path(info.dli_fname).parent_path().string();
}

// The process's environment, where the program folder is the extension's
// unless VELN_HOME names another.
host::EnvironmentLookup ExtensionEnvironment() {
    return [folder = ExtensionFolder(),
            process = host::ProcessEnvironment()](const char* name) -> const char* {
        const char* value = process(name);
        if (value == nullptr && std::string_view(name) == "VELN_HOME" && !folder.empty()) {
            return folder.c_str();
        }
        return value;
    };
}

class VelnInWriter final : public host::office::ExtensionAddIn {
  public:
    explicit VelnInWriter(host::office::OfficeApplication& application)
        : system_(ExtensionEnvironment()),
          ui_(application, system_.ProgramFolder()),
          context_(ui_, system_, application),
          connect_(context_) {
        ui_.SetFormRunner([this] { return FormRunner(); });
        ui_.SetPictures([](int picture) { return std::string(addin::PictureIconName(picture)); });
        application.StartupPath = system_.StartupFolder();
        application.LoadStartupTemplates();
        connect_.AddinInstance_OnConnection(application);
    }

    host::CommandBarControl* Control(std::string_view command) override {
        addin::ThisApplication* addin = connect_.Instance();
        if (addin == nullptr) {
            return nullptr;
        }
        if (command.starts_with("Popup")) {
            return Popup(command);
        }
        return addin->Member(std::string(command));
    }

    // Creating an element at paragraphs that hold none (the benchmark's
    // document marks every fourth; a shorter document's are taken again),
    // its description given as the dialog would; then, on elements, the
    // element editor from the click to its dialog drawn, and the next
    // element's command.
    std::map<std::string, double> MeasureCommands() override {
        constexpr int TIMES = 20;
        host::Document* document = context_.app.ActiveDocument();
        addin::ThisApplication* addin = connect_.Instance();
        if (document == nullptr || addin == nullptr) {
            return {};
        }
        using Clock = std::chrono::steady_clock;
        std::map<std::string, std::chrono::duration<double>> spent;
        for (int i = 0; i < TIMES; ++i) {
            const long at = document->ParagraphStart((1 + 4L * i) % document->ParagraphCount());
            document->Selection().SetRange(at, at);
            const auto started = Clock::now();
            Elements::CreateElementFromSelection(context_, 2, "New element");
            spent["create"] += Clock::now() - started;
        }
        for (int i = 0; i < TIMES; ++i) {
            const long inside = document->ParagraphStart((4L * i) % document->ParagraphCount()) + 1;
            for (const char* command : {"oEdit", "oNext"}) {
                document->Selection().SetRange(inside, inside);
                const auto started = Clock::now();
                context_.app.Press(*addin->Member(command));
                ui_.Settle();
                spent[command == std::string("oEdit") ? "editor" : "next"] +=
                    Clock::now() - started;
                ui_.CloseModeless();
            }
        }
        std::map<std::string, double> figures;
        for (const auto& [name, seconds] : spent) {
            figures[name] = seconds.count() / TIMES;
        }
        return figures;
    }

    void ShowError(const std::string& message) override {
        try {
            ui_.MsgBox(message, host::MsgBoxStyle::vbCritical, "");
        } catch (const std::exception&) {
            // Nowhere left to say it.
        }
    }

  private:
    // A form's handlers run as commands do, on the document the form was
    // opened on while it is open.
    host::office::OfficeUi::Runner FormRunner() {
        host::Document* openedOn = context_.app.ActiveDocument();
        return [this, openedOn](const std::function<void()>& handler) {
            addin::RunCommand(context_, [&] {
                host::Application& app = context_.app;
                bool open = false;
                for (int i = 1; i <= app.DocumentCount(); ++i) {
                    open = open || &app.DocumentItem(i) == openedOn;
                }
                if (open && app.ActiveDocument() != openedOn) {
                    app.Activate(*openedOn);
                }
                handler();
            });
        };
    }

    host::CommandBarControl* Popup(std::string_view command) {
        host::CommandBar* bar = context_.app.CommandBars.Find(addin::TOOLBAR_NAME);
        if (bar == nullptr) {
            return nullptr;
        }
        int ordinal = 0;
        for (int i = 1; i <= bar->Controls().Count(); ++i) {
            host::CommandBarControl& control = bar->Controls().Item(i);
            if (control.Type() == host::ControlType::Popup &&
                host::office::PopupCommand(++ordinal) == command) {
                return &control;
            }
        }
        return nullptr;
    }

    host::PosixSystem system_;
    host::office::OfficeUi ui_;
    Context context_;
    addin::ConnectWord connect_;
};

}  // namespace

}  // namespace veln::office

namespace veln::host::office {

std::unique_ptr<ExtensionAddIn> ConnectExtensionAddIn(OfficeApplication& application) {
    return std::make_unique<veln::office::VelnInWriter>(application);
}

}  // namespace veln::host::office
