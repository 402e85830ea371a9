// The error trace: reports a failed call on the debugger output with its
// source file, line, call name and the result code's symbolic name, and can
// offer to break into the debugger. Also the lookups that turn a result code
// into its symbolic name and a one-sentence description.
//
// Nothing here allocates or keeps state between calls; any thread may call it.
#pragma once

#include <windows.h>

// Writes "<file>(<line>): <message> hr=<name> (0x<8 hex digits>)\n" to the
// debugger output in pieces (no "<file>(<line>): " when strFile is null, no
// "<message> " when strMsg is null, empty or 1024 characters or longer).
// With bPopMsgBox set, also shows a Yes/No box owned by the foreground
// window and breaks into the debugger on Yes. Returns hr unchanged.
HRESULT WINAPI TraceErrorA(const CHAR* strFile, DWORD dwLine, HRESULT hr, const CHAR* strMsg,
                           BOOL bPopMsgBox);
// The same with a wide message, written through the wide debugger output and
// message box; the source file name stays narrow and is widened.
HRESULT WINAPI TraceErrorW(const CHAR* strFile, DWORD dwLine, HRESULT hr, const WCHAR* strMsg,
                           BOOL bPopMsgBox);

// The symbolic name of a result code, such as "E_FAIL", or "Unknown" when the
// code is not listed. Several families sharing one value are joined with " & ".
// The text is constant; never free it.
const CHAR* WINAPI ResultCodeNameA(HRESULT hr);
const WCHAR* WINAPI ResultCodeNameW(HRESULT hr);

// A one-sentence description of a result code, or "n/a" when none is listed.
// The text is constant; never free it.
const CHAR* WINAPI ResultCodeTextA(HRESULT hr);
const WCHAR* WINAPI ResultCodeTextW(HRESULT hr);
