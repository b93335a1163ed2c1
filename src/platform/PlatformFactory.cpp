// The one place that decides which implementation of each service runs.
#include "platform/PlatformServices.h"

#include "app/Paths.h"
#include "platform/DialogService.h"
#include "platform/LoggingMessageService.h"
#include "platform/QtDialogService.h"
#include "platform/QtMessageService.h"
#include "platform/Shell.h"

namespace snaplorn {

PlatformServices::PlatformServices() = default;
PlatformServices::PlatformServices(PlatformServices&&) noexcept = default;
PlatformServices& PlatformServices::operator=(PlatformServices&&) noexcept = default;
PlatformServices::~PlatformServices() = default;

PlatformServices createPlatformServices()
{
    PlatformServices services;
    const QString messageLog = qEnvironmentVariable("SNAPLORN_MESSAGE_LOG");
    if (!messageLog.isEmpty())
        services.messages = std::make_unique<LoggingMessageService>(
            messageLog, qEnvironmentVariable("SNAPLORN_MESSAGE_ANSWERS"));
    else
        services.messages = std::make_unique<QtMessageService>();
    services.dialogs = std::make_unique<QtDialogService>();
    services.shell = std::make_unique<DesktopShell>(paths::helpFile());
    return services;
}

} // namespace snaplorn
