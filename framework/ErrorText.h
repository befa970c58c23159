#pragma once
#include <windows.h>

#include <string>

// The system's message for a COM or Win32 failure code, without the line break the system appends;
// "Unknown error 0x..." or "IDispatch error #..." when the system has no text for it.
std::string ErrorText(HRESULT code);
