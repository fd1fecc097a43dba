// The licence page's documents when the program carries none: the warning box, the
// fallback files of the current directory, and the stream-in callbacks.
// (This test program has no resources, so resources 456 and 457 are absent.)
#include <gtest/gtest.h>
#include <richedit.h>

#include <cstdio>
#include <string>

#include "support/scripted_message_box.h"
#include "ui/cmyrichedit.h"
#include "ui/licence_documents.h"

namespace {
void writeFile(const char* name, const std::string& bytes) {
  FILE* f = std::fopen(name, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// An RTF document of about 9 kB whose last word tells that it arrived whole.
std::string bigDocument() {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  for (int i = 0; i < 300; ++i) rtf += "Ligne " + std::to_string(i) + " de la licence.\\par\n";
  rtf += "FIN-DU-DOCUMENT\\par}";
  return rtf;
}

TEST(LicenceDocuments, MissingResourceTakesTheFallbackFileAfterAWarning) {
  std::string document = bigDocument();
  writeFile("setup.rtf", document);
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  uint32_t size = 12345;
  const char* bytes = loadLicenceDocument(&size);
  ASSERT_EQ(boxes.count(), 1u);
  RecordedBox box = boxes.boxes()[0];
  EXPECT_EQ(box.text, "rtf taked");
  EXPECT_EQ(box.caption, "<none>");
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.flags, UINT(MB_ICONWARNING | MB_SYSTEMMODAL));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(size, document.size());
  EXPECT_EQ(std::string(bytes, size), document);
  EXPECT_EQ(bytes[size], '\0');
  std::remove("setup.rtf");
}

TEST(LicenceDocuments, MissingFallbackGivesNoDocumentAndLeavesTheSize) {
  std::remove("epileptic.rtf");
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  uint32_t size = 77;
  EXPECT_EQ(loadNoticeDocument(&size), nullptr);
  EXPECT_EQ(size, 77u);
  ASSERT_EQ(boxes.count(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "rtf epilec taked");
}

TEST(LicenceDocuments, AFallbackFileHeldOpenIsNotRead) {
  writeFile("epileptic.rtf", "{\\rtf1 x}");
  HANDLE held = CreateFileA("epileptic.rtf", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  EXPECT_EQ(loadNoticeDocument(nullptr), nullptr);
  CloseHandle(held);
  boxes.answer({IDOK});
  EXPECT_NE(loadNoticeDocument(nullptr), nullptr);  // null size pointer is fine
  std::remove("epileptic.rtf");
}

TEST(LicenceDocuments, CallbackHandsOutChunksUpToTheEnd) {
  std::string document(9000, 'z');
  g_licenceDocument = {document.data(), static_cast<uint32_t>(document.size()), 0};
  g_noticeDocument = {};
  BYTE buffer[4096];
  LONG count = -1;
  EXPECT_EQ(streamLicence(0, buffer, 4096, &count), 0u);
  EXPECT_EQ(count, 4096);
  EXPECT_EQ(streamLicence(0, buffer, 4096, &count), 0u);
  EXPECT_EQ(count, 4096);
  EXPECT_EQ(streamLicence(0, buffer, 4096, &count), 0u);
  EXPECT_EQ(count, 808);  // exactly the remainder
  EXPECT_EQ(streamLicence(0, buffer, 4096, &count), 0u);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(streamNotice(0, buffer, 4096, &count), 0u);  // its own, empty, document
  EXPECT_EQ(count, 0);
  g_licenceDocument = {};
}

TEST(LicenceDocuments, ARichEditReceivesALongDocumentWhole) {
  std::string document = bigDocument();
  ASSERT_GT(document.size(), 4096u * 2);
  g_licenceDocument = {document.data(), static_cast<uint32_t>(document.size()), 0};
  HWND parent = CreateWindowExA(0, "STATIC", "rich", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  cmyrichedit edit;  // creating its own window loads the rich edit library first
  RECT rect = {0, 0, 500, 300};
  ASSERT_TRUE(edit.create("RichEdit20A", "", ES_MULTILINE | ES_READONLY | WS_VSCROLL, rect,
                          parent, 1005));
  EDITSTREAM stream = {0, 0, &streamLicence};
  edit.streamIn(SF_RTF, stream);
  EXPECT_EQ(stream.dwError, 0u);
  EXPECT_EQ(g_licenceDocument.offset, document.size());
  std::string text(static_cast<size_t>(edit.textLength()) + 1, '\0');
  GetWindowTextA(edit.hwnd(), &text[0], static_cast<int>(text.size()));
  EXPECT_NE(text.find("Ligne 0 de la licence."), std::string::npos);
  EXPECT_NE(text.find("Ligne 299 de la licence."), std::string::npos);
  EXPECT_NE(text.find("FIN-DU-DOCUMENT"), std::string::npos);
  EXPECT_EQ(text.find("\\par"), std::string::npos);  // read as RTF, not as text
  DestroyWindow(parent);
  g_licenceDocument = {};
}
}  // namespace
