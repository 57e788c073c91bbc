#include "host/office/office_form_dialog.h"

#include <cmath>

#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XControlContainer.hpp>
#include <com/sun/star/awt/XDialog.hpp>
#include <com/sun/star/awt/XLayoutConstrains.hpp>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XTopWindowListener.hpp>
#include <com/sun/star/awt/XUnitConversion.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/util/MeasureUnit.hpp>
#include <cppuhelper/implbase1.hxx>

#include "host/office/office_connection.h"
#include "host/office/office_control_binders.h"
#include "host/word/document.h"

namespace veln::host::office {

namespace {

using css::uno::Any;

constexpr int TWIPS_PER_PIXEL = 15;  // at the 96 dots an inch forms are designed for
// The rows of a list that shows them all, in map font units down.
constexpr sal_Int32 ROW_UNITS = 10;

// The dialog window's close box, for a dialog beside the documents.
class WindowEvents : public cppu::WeakImplHelper1<css::awt::XTopWindowListener> {
  public:
    explicit WindowEvents(OfficeFormDialog& dialog) : dialog_(dialog) {}
    void SAL_CALL windowClosing(const css::lang::EventObject& /*event*/) override {
        dialog_.CloseBox();
    }
    void SAL_CALL windowOpened(const css::lang::EventObject& /*event*/) override {}
    void SAL_CALL windowClosed(const css::lang::EventObject& /*event*/) override {}
    void SAL_CALL windowMinimized(const css::lang::EventObject& /*event*/) override {}
    void SAL_CALL windowNormalized(const css::lang::EventObject& /*event*/) override {}
    void SAL_CALL windowActivated(const css::lang::EventObject& /*event*/) override {}
    void SAL_CALL windowDeactivated(const css::lang::EventObject& /*event*/) override {}
    void SAL_CALL disposing(const css::lang::EventObject& /*event*/) override {}

  private:
    OfficeFormDialog& dialog_;
};

}  // namespace

Reference<css::awt::XWindowPeer> ActiveWindow(OfficeConnection& connection) {
    Reference<css::frame::XFrame> frame = connection.Desktop()->getCurrentFrame();
    if (!frame.is()) {
        return {};
    }
    return {frame->getContainerWindow(), UNO_QUERY};
}

OfficeFormDialog::OfficeFormDialog(OfficeConnection& connection, std::shared_ptr<Form> form,
                                   const FormDesign& design, Runner run,
                                   const Reference<css::awt::XWindowPeer>& parent,
                                   PictureFiles pictures)
    : connection_(connection),
      form_(std::move(form)),
      design_(design),
      run_(std::move(run)),
      pictures_(std::move(pictures)) {
    connection_.Run(
        "making the dialog " + form_->Name(), [&] { Build(parent); }, WordError::COMMAND_FAILED);
}

OfficeFormDialog::~OfficeFormDialog() {
    try {
        if (Reference<css::lang::XComponent> component{dialog_, UNO_QUERY}; component.is()) {
            component->dispose();
        }
    } catch (const css::uno::Exception&) {
        // The office has gone: nothing left to close.
    }
}

const Reference<css::uno::XComponentContext>& OfficeFormDialog::Context() const {
    return connection_.Context();
}

void OfficeFormDialog::Build(const Reference<css::awt::XWindowPeer>& parent) {
    const Reference<css::uno::XComponentContext>& context = connection_.Context();
    Reference<css::lang::XMultiComponentFactory> services = context->getServiceManager();
    Reference<css::lang::XMultiServiceFactory> model(
        services->createInstanceWithContext(ToOUString("com.sun.star.awt.UnoControlDialogModel"),
                                            context),
        UNO_QUERY_THROW);
    for (Control* control : form_->Controls()) {
        bindings_.push_back(std::make_unique<ControlBinding>(
            *control, design_.Widget(control->Name()), model, *this));
        if (dynamic_cast<ListBox*>(control) != nullptr) {
            bindings_.back()->ModelProperties()->setPropertyValue("RowHeight", Any(ROW_UNITS));
        }
    }
    dialog_.set(services->createInstanceWithContext(ToOUString("com.sun.star.awt.UnoControlDialog"),
                                                    context),
                UNO_QUERY_THROW);
    dialog_->setModel(Reference<css::awt::XControlModel>(model, UNO_QUERY_THROW));
    Reference<css::awt::XControlContainer> container(dialog_, UNO_QUERY_THROW);
    for (const auto& binding : bindings_) {
        binding->Attach(container->getControl(ToOUString(binding->Target().Name())));
    }
    dialog_->createPeer(
        Reference<css::awt::XToolkit>(css::awt::Toolkit::create(context), UNO_QUERY_THROW), parent);
    constexpr sal_Int32 SAMPLE = 1000;
    Reference<css::awt::XUnitConversion> units(dialog_->getPeer(), UNO_QUERY_THROW);
    const css::awt::Size pixels =
        units->convertSizeToPixel(css::awt::Size(SAMPLE, SAMPLE), css::util::MeasureUnit::APPFONT);
    pixelsPerUnitX_ = static_cast<double>(pixels.Width) / SAMPLE;
    pixelsPerUnitY_ = static_cast<double>(pixels.Height) / SAMPLE;
    windowEvents_.set(static_cast<cppu::OWeakObject*>(new WindowEvents(*this)));
    Reference<css::awt::XTopWindow>(dialog_->getPeer(), UNO_QUERY_THROW)
        ->addTopWindowListener(
            Reference<css::awt::XTopWindowListener>(windowEvents_, UNO_QUERY_THROW));
}

Reference<css::awt::XControl> OfficeFormDialog::ControlOf(const std::string& name) const {
    for (const auto& binding : bindings_) {
        if (binding->Target().Name() == name) {
            return binding->View();
        }
    }
    return {};
}

void OfficeFormDialog::Push() {
    if (closed_) {
        return;
    }
    connection_.Run(
        "showing the dialog " + form_->Name(),
        [&] {
            pushing_ = true;
            Reference<css::beans::XPropertySet> dialog(dialog_->getModel(), UNO_QUERY_THROW);
            dialog->setPropertyValue("Title", Any(ToOUString(form_->Caption)));
            if (form_->BackColor != 0) {
                dialog->setPropertyValue("BackgroundColor", Any(OfficeColor(form_->BackColor)));
            }
            bool roomChanged = !laidOut_ || form_->Height != shownHeight_;
            for (const auto& binding : bindings_) {
                roomChanged = binding->Push() || roomChanged;
            }
            if (roomChanged) {
                LayOut();
            }
            pushing_ = false;
        },
        WordError::COMMAND_FAILED);
    if (!form_->IsOpen()) {
        End();
    }
}

void OfficeFormDialog::LayOut() {
    std::set<std::string> hidden;
    for (const auto& binding : bindings_) {
        if (!binding->Target().Visible) {
            hidden.insert(binding->Target().Name());
        }
    }
    auto viewOf = [this](const std::string& name) {
        return Reference<css::awt::XLayoutConstrains>(ControlOf(name), UNO_QUERY);
    };
    ControlMeasure measure;
    measure.preferred = [&](const std::string& name) -> PixelSize {
        Control* control = form_->FindControl(name);
        if (auto* list = dynamic_cast<ListBox*>(control)) {
            // A list that shows all its rows is as tall as they are.
            const double row = ROW_UNITS * pixelsPerUnitY_;
            return {0, static_cast<int>(std::lround(list->ListCount() * row)) + 4};
        }
        Reference<css::awt::XLayoutConstrains> view = viewOf(name);
        if (!view.is()) {
            return {};
        }
        const css::awt::Size size = view->getPreferredSize();
        return {size.Width, size.Height};
    };
    measure.heightFor = [&](const std::string& name, int width) {
        Reference<css::awt::XLayoutConstrains> view = viewOf(name);
        return view.is() ? view->calcAdjustedSize(css::awt::Size(width, 0)).Height : 0;
    };
    shownHeight_ = form_->Height;
    const int designedHeight = form_->Height / TWIPS_PER_PIXEL;
    FormPlaces places = design_.LayOut(measure, hidden, {window_.width, designedHeight});
    window_ = places.window;
    laidOut_ = true;
    auto unitsX = [this](int pixels) {
        return Any(static_cast<sal_Int32>(std::lround(pixels / pixelsPerUnitX_)));
    };
    auto unitsY = [this](int pixels) {
        return Any(static_cast<sal_Int32>(std::lround(pixels / pixelsPerUnitY_)));
    };
    for (const auto& binding : bindings_) {
        auto place = places.places.find(binding->Target().Name());
        if (place == places.places.end()) {
            continue;
        }
        const PixelRect& rect = place->second;
        // Edges converted, not sizes: neighbours stay aligned after rounding.
        const auto left = static_cast<sal_Int32>(std::lround(rect.x / pixelsPerUnitX_));
        const auto top = static_cast<sal_Int32>(std::lround(rect.y / pixelsPerUnitY_));
        binding->Set("PositionX", Any(left));
        binding->Set("PositionY", Any(top));
        binding->Set("Width", Any(unitsX(rect.x + rect.width).get<sal_Int32>() - left));
        binding->Set("Height", Any(unitsY(rect.y + rect.height).get<sal_Int32>() - top));
    }
    Reference<css::beans::XPropertySet> dialog(dialog_->getModel(), UNO_QUERY_THROW);
    dialog->setPropertyValue("Width", unitsX(window_.width));
    dialog->setPropertyValue("Height", unitsY(window_.height));
}

void OfficeFormDialog::Handle(const std::function<void()>& handler) {
    struct Count {
        explicit Count(std::shared_ptr<Acts> acts) : acts_(std::move(acts)) {}
        ~Count() { ++acts_->handled; }
        Count(const Count&) = delete;
        Count& operator=(const Count&) = delete;
        std::shared_ptr<Acts> acts_;
    } count(acts_);
    if (!form_->IsOpen() || closed_) {
        return;
    }
    // Called from the office's events: nothing may leave it. The handler's
    // failures, and the office's refusing to show what it did, are the
    // runner's to report; the dialog stays usable.
    try {
        run_(handler);
        run_([this] { Push(); });
    } catch (const std::exception&) {
        // A runner that reports nothing: the dialog stays as it was.
    } catch (const css::uno::Exception&) {
        // As above, the office refusing.
    }
}

void OfficeFormDialog::RunModal() {
    modal_ = true;
    Reference<css::awt::XDialog> dialog(dialog_, UNO_QUERY_THROW);
    while (form_->IsOpen()) {
        connection_.Run(
            "showing the dialog " + form_->Name(), [&] { dialog->execute(); },
            WordError::COMMAND_FAILED);
        // The dialog ended without a word from the form: its close box, which the form decides.
        if (form_->IsOpen()) {
            run_([this] { form_->CloseBox(); });
        }
    }
    closed_ = true;
    acts_->ended = true;
}

void OfficeFormDialog::ShowModeless() {
    connection_.Run(
        "showing the dialog " + form_->Name(),
        [&] { Reference<css::awt::XWindow>(dialog_, UNO_QUERY_THROW)->setVisible(true); },
        WordError::COMMAND_FAILED);
}

void OfficeFormDialog::CloseBox() {
    if (modal_) {
        // A modal dialog's close box ends its run, which asks the form.
        return;
    }
    Handle([this] { form_->CloseBox(); });
    if (form_->IsOpen() && !closed_) {
        // The form stays open: so does its window.
        ShowModeless();
    }
}

void OfficeFormDialog::End() {
    if (closed_) {
        return;
    }
    try {
        if (modal_) {
            Reference<css::awt::XDialog>(dialog_, UNO_QUERY_THROW)->endExecute();
            return;
        }
        closed_ = true;
        acts_->ended = true;
        Reference<css::awt::XWindow>(dialog_, UNO_QUERY_THROW)->setVisible(false);
    } catch (const css::uno::Exception&) {
        closed_ = true;
    }
}

}  // namespace veln::host::office
