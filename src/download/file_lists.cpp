#include "download/file_record.h"

RecordNode* g_fileList = nullptr;
RecordNode* g_directoryList = nullptr;
