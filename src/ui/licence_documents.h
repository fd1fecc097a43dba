// The two documents of the licence page: the licence agreement (raw data 456, or
// "setup.rtf") and the notice shown before it (raw data 457, or "epileptic.rtf").
// They are loaded once and kept for the life of the process.
#pragma once
#include <windows.h>

#include <cstdint>

#include "ui/document_stream.h"

extern DocumentStream g_licenceDocument;
extern DocumentStream g_noticeDocument;

// Each returns the document's bytes, or null; the size is written when `size` is
// not null and a document was found.
const char* loadLicenceDocument(uint32_t* size);
const char* loadNoticeDocument(uint32_t* size);

// Stream-in callbacks of the rich edit control, one per document.
DWORD CALLBACK streamLicence(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* count);
DWORD CALLBACK streamNotice(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* count);
