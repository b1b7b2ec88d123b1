// The Messenger service step of an apply (NT family only).
#include <windows.h>
#include "messenger_service.h"

static SC_HANDLE s_manager;
static SC_HANDLE s_service;
static SERVICE_STATUS s_status;

void MessengerService_Switch(bool isWindows9x, bool blockMessenger)
{
    if (isWindows9x)
        return;
    s_manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    if (!s_manager)
        return;
    s_service = OpenServiceA(s_manager, MESSENGER_SERVICE_NAME,
                             blockMessenger ? SERVICE_STOP : SERVICE_START);
    if (s_service) {
        // Neither call waits for the service to change state.
        if (blockMessenger)
            ControlService(s_service, SERVICE_CONTROL_STOP, &s_status);
        else
            StartServiceA(s_service, 0, NULL);
        CloseServiceHandle(s_service);
        s_service = NULL;
    }
    CloseServiceHandle(s_manager);
    s_manager = NULL;
}
