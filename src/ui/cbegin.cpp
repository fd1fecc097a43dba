#include "ui/cbegin.h"

#include "download/descriptor_loader.h"
#include "download/install_descriptor.h"
#include "resources/resource_ids.h"
#include "services/message_box.h"
#include "services/process_exit.h"
#include "ui/licence_documents.h"
#include "ui/window_titles.h"

namespace {
const int kRichEdit = 1005;
const int kPrevious = 1000;
const int kAcceptBox = 1010;
const int kDecline = 1011;

[[noreturn]] void leaveSetup() { endProcess(kExitAborted); }
}  // namespace

cbegin::cbegin() : Dialog(IDD_LICENCE, nullptr) {
  onCommand(IDOK, [this] { next(); });
  onCommand(kPrevious, [this] { previous(); });
  onCommand(IDCANCEL, [] { leaveSetup(); });
  onCommand(kDecline, [this] { decline(); });
}

BOOL cbegin::onInitDialog() {
  page_ = 0;
  if (!g_licenceDocument.data) g_licenceDocument.data = loadLicenceDocument(&g_licenceDocument.size);
  if (!g_noticeDocument.data) g_noticeDocument.data = loadNoticeDocument(&g_noticeDocument.size);
  if (!g_descriptorText) {
    loadInstallDescriptor();  // ends the process when there is no descriptor
    parseInstallDescriptor(g_descriptorText, g_descriptorLength);
  }
  attachItem(richEdit_, kRichEdit);
  attachItem(acceptBox_, kAcceptBox);
  // The control scrolls sideways on its own but has no horizontal scroll bar: without
  // this, every paragraph would stay on one line, cut off at the right edge.
  richEdit_.wrapToWindow();

  char title[260];
  formatLicenceTitle(title, sizeof title, g_productName, __DATE__, __TIME__);
  SetWindowTextA(hwnd(), title);
  showPage();
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VELMORIN));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  return TRUE;
}

void cbegin::showPage() {
  if (page_ == 0) {
    g_noticeDocument.offset = 0;
    EDITSTREAM stream = {0, 0, &streamNotice};
    SetScrollPos(richEdit_.hwnd(), SB_VERT, 0, TRUE);
    richEdit_.clear();
    richEdit_.streamIn(SF_RTF, stream);
    richEdit_.redrawNow();
    acceptBox_.show(SW_HIDE);
    acceptBox_.setCheck(BST_UNCHECKED);
  } else if (page_ == 1) {
    g_licenceDocument.offset = 0;
    EDITSTREAM stream = {0, 0, &streamLicence};
    richEdit_.clear();
    richEdit_.redrawNow();
    richEdit_.streamIn(SF_RTF, stream);
    richEdit_.lineScroll(0);
    richEdit_.setSel(-1, -1);
    richEdit_.scrollToTop();  // clearing the selection may have scrolled to its end
    acceptBox_.show(SW_SHOW);
  }
}

void cbegin::next() {
  ++page_;
  showPage();
  if (page_ != 2) return;
  if (acceptBox_.getCheck() == BST_CHECKED) {
    onOK();
  } else {
    showError(hwnd(), "SETUP", "Vous devez accepter la convention de licence");
  }
  page_ = 0;
  showPage();
}

void cbegin::previous() {
  if (page_ <= 0) return;
  --page_;
  showPage();
}

void cbegin::decline() {
  showError(hwnd(), "SETUP", "L'installation ne peux pas aboutir");
  leaveSetup();
}
