#include "model/ImageFileEntry.h"

#include <strsafe.h>

bool ImageFileEntry::FullPath(wchar_t (&path)[MAX_PATH]) const {
    return SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"%s%s", folder, fileName));
}
