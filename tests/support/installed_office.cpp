#include "installed_office.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <unistd.h>

#include "temp_dir.h"

namespace veln::test {

using namespace host::office;

InstalledOffice::InstalledOffice(const std::string& folder, OfficeOptions options) {
    std::filesystem::copy_file(VELN_OXT, folder + "/veln.oxt");
    const std::string log = folder + "/unopkg.log";
    std::string install = VELN_OFFICE_PROGRAM_DIR
                          "/unopkg add --suppress-license -env:UserInstallation=file://" +
                          folder + "/profile '" + folder + "/veln.oxt'";
    if (geteuid() == 0) {
        // unopkg refuses to install into root's own profile: it installs as
        // nobody, in the folder made nobody's; the office reads it as root.
        install = "chown -R nobody: '" + folder + "' && runuser -u nobody -- env HOME='" + folder +
                  "' " + install;
    }
    install += " > '" + log + "' 2>&1";
    if (std::system(install.c_str()) != 0) {  // NOLINT(cert-env33-c): the office's own tool
        throw std::runtime_error("unopkg could not install veln.oxt: " + ReadFile(log));
    }
#ifdef VELN_OFFICE_PRELOAD
    // The extension's library is built with the sanitizers' runtimes: the
    // office loads them first (unopkg only registers it, and hangs with them).
    setenv("LD_PRELOAD", VELN_OFFICE_PRELOAD, 1);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
    options.profile = folder + "/profile";
    try {
        connection_ = OfficeConnection::Start(options);
    } catch (...) {
        unsetenv("LD_PRELOAD");
        throw;
    }
    unsetenv("LD_PRELOAD");
}

void DispatchCommand(OfficeConnection& office, const Reference<css::text::XTextDocument>& document,
                     const std::string& command,
                     const css::uno::Sequence<css::beans::PropertyValue>& arguments) {
    Reference<css::frame::XDispatchProvider> frame(
        Reference<css::frame::XModel>(document, UNO_QUERY_THROW)
            ->getCurrentController()
            ->getFrame(),
        UNO_QUERY_THROW);
    Reference<css::frame::XDispatchHelper> helper =
        css::frame::DispatchHelper::create(office.Context());
    helper->executeDispatch(frame, ToOUString("vnd.veln:" + command), ToOUString(""), 0, arguments);
}

}  // namespace veln::test
