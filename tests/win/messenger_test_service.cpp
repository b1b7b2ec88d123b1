// A stand-in "Messenger" service for the tests: runs until it is asked to stop.
#include <windows.h>

static SERVICE_STATUS_HANDLE s_statusHandle;
static SERVICE_STATUS s_status;
static HANDLE s_stopEvent;

static void Service_Report(DWORD state)
{
    s_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    s_status.dwCurrentState = state;
    s_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(s_statusHandle, &s_status);
}

static DWORD WINAPI Service_Control(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_STOP) {
        Service_Report(SERVICE_STOP_PENDING);
        SetEvent(s_stopEvent);
    }
    return NO_ERROR;
}

static void WINAPI Service_Main(DWORD, LPSTR *)
{
    s_statusHandle = RegisterServiceCtrlHandlerExA("Messenger", Service_Control, NULL);
    s_stopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    Service_Report(SERVICE_RUNNING);
    WaitForSingleObject(s_stopEvent, INFINITE);
    Service_Report(SERVICE_STOPPED);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SERVICE_TABLE_ENTRYA table[] = {{(LPSTR) "Messenger", Service_Main}, {NULL, NULL}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
