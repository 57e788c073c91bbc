// The extension's component: the protocol handler of the vnd.veln: commands
// the toolbar and the menu send, and the entry points by which the office
// loads it from the extension's library.
#include <map>

#include <com/sun/star/frame/DispatchDescriptor.hpp>
#include <com/sun/star/frame/XDispatch.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/lang/XInitialization.hpp>
#include <cppuhelper/implbase4.hxx>
#include <cppuhelper/implementationentry.hxx>
#include <cppuhelper/supportsservice.hxx>
#include <uno/environment.h>
#include <uno/lbnames.h>

#include "host/office/extension_runtime.h"

namespace veln::host::office {

namespace {

constexpr const char* IMPLEMENTATION_NAME = "org.veln.office.ProtocolHandler";
constexpr const char* SERVICE_NAME = "com.sun.star.frame.ProtocolHandler";
// The benchmarks' command (Linked, Unlinked and Output named as arguments).
constexpr std::string_view MEASURE_COMMAND = "Measure";

rtl::OUString SAL_CALL ImplementationName() {
    return rtl::OUString::createFromAscii(IMPLEMENTATION_NAME);
}

css::uno::Sequence<rtl::OUString> SAL_CALL ServiceNames() {
    const rtl::OUString name = rtl::OUString::createFromAscii(SERVICE_NAME);
    return {&name, 1};
}

class ProtocolHandler
    : public cppu::WeakImplHelper4<css::frame::XDispatchProvider, css::frame::XDispatch,
                                   css::lang::XInitialization, css::lang::XServiceInfo> {
  public:
    explicit ProtocolHandler(const Reference<css::uno::XComponentContext>& context)
        : runtime_(ExtensionRuntime::Get(context)) {}

    // The office hands each handler the frame it serves; the commands act
    // on the active document whatever the frame.
    void SAL_CALL initialize(const css::uno::Sequence<css::uno::Any>& /*arguments*/) override {}

    Reference<css::frame::XDispatch> SAL_CALL queryDispatch(const css::util::URL& url,
                                                            const rtl::OUString& /*target*/,
                                                            sal_Int32 /*flags*/) override {
        if (!CommandOfUrl(FromOUString(url.Complete)).empty()) {
            return this;
        }
        return {};
    }
    css::uno::Sequence<Reference<css::frame::XDispatch>> SAL_CALL
    queryDispatches(const css::uno::Sequence<css::frame::DispatchDescriptor>& requests) override {
        css::uno::Sequence<Reference<css::frame::XDispatch>> dispatches(requests.getLength());
        for (sal_Int32 i = 0; i < requests.getLength(); ++i) {
            dispatches.getArray()[i] = queryDispatch(requests[i].FeatureURL, requests[i].FrameName,
                                                     requests[i].SearchFlags);
        }
        return dispatches;
    }

    void SAL_CALL
    dispatch(const css::util::URL& url,
             const css::uno::Sequence<css::beans::PropertyValue>& arguments) override {
        // A URL of another scheme is no command of ours.
        const std::string command = CommandOfUrl(FromOUString(url.Complete));
        if (command.empty()) {
            return;
        }
        // A drop-down button names the entry the user picked as "Text".
        std::map<std::string, std::string> named;
        for (const css::beans::PropertyValue& argument : arguments) {
            rtl::OUString value;
            if (argument.Value >>= value) {
                named[FromOUString(argument.Name)] = FromOUString(value);
            }
        }
        if (command == MEASURE_COMMAND) {
            runtime_.Measure(named["Linked"], named["Unlinked"], named["Output"]);
        } else {
            runtime_.Dispatch(command, named["Text"]);
        }
    }
    void SAL_CALL addStatusListener(const Reference<css::frame::XStatusListener>& listener,
                                    const css::util::URL& url) override {
        runtime_.AddListener(listener, url);
    }
    void SAL_CALL removeStatusListener(const Reference<css::frame::XStatusListener>& listener,
                                       const css::util::URL& url) override {
        runtime_.RemoveListener(listener, url);
    }

    rtl::OUString SAL_CALL getImplementationName() override {
        return rtl::OUString::createFromAscii(IMPLEMENTATION_NAME);
    }
    sal_Bool SAL_CALL supportsService(const rtl::OUString& name) override {
        return cppu::supportsService(this, name);
    }
    css::uno::Sequence<rtl::OUString> SAL_CALL getSupportedServiceNames() override {
        return ServiceNames();
    }

  private:
    ExtensionRuntime& runtime_;
};

Reference<css::uno::XInterface> SAL_CALL
Create(const Reference<css::uno::XComponentContext>& context) {
    return static_cast<cppu::OWeakObject*>(new ProtocolHandler(context));
}

const cppu::ImplementationEntry ENTRIES[] = {
    {Create, ImplementationName, ServiceNames, cppu::createSingleComponentFactory, nullptr, 0},
    {nullptr, nullptr, nullptr, nullptr, nullptr, 0}};

}  // namespace

}  // namespace veln::host::office

// What the office's library loader looks for in the extension's library.
extern "C" SAL_DLLPUBLIC_EXPORT void* SAL_CALL component_getFactory(const char* implementationName,
                                                                    void* serviceManager,
                                                                    void* registryKey) {
    return cppu::component_getFactoryHelper(implementationName, serviceManager, registryKey,
                                            veln::host::office::ENTRIES);
}

extern "C" SAL_DLLPUBLIC_EXPORT void SAL_CALL component_getImplementationEnvironment(
    const char** environmentTypeName, uno_Environment** /*environment*/) {
    *environmentTypeName = CPPU_CURRENT_LANGUAGE_BINDING_NAME;
}
