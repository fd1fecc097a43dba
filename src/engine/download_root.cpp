#include "engine/download_root.h"

#include "download/text_field.h"

void formatDownloadRoot(const char* temporaryDirectory, const char* productName,
                        DownloadRootLevels& levels) {
  copyCut(levels.company, sizeof levels.company, temporaryDirectory);
  appendCut(levels.company, sizeof levels.company, "\\Quorvane");
  copyCut(levels.downloaded, sizeof levels.downloaded, levels.company);
  appendCut(levels.downloaded, sizeof levels.downloaded, "\\Downloaded\\");
  copyCut(levels.product, sizeof levels.product, levels.downloaded);
  appendCut(levels.product, sizeof levels.product, productName);
}
