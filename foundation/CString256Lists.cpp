#include "foundation/CString256.h"

#include <cstring>

void CString256::parse_into_list(const char* delimiters, CList<CString256>& list) const {
    list.clear();
    CString256 copy(*this);
    char* rest = nullptr;
    for (char* piece = strtok_r(copy.text, delimiters, &rest); piece != nullptr;
         piece = strtok_r(nullptr, delimiters, &rest)) {
        list.append(CString256(piece));
    }
}

void CString256::flatten_list(char separator, CList<CString256>& list) {
    text[0] = '\0';
    int appended = 0;
    for (list.cursor = list.head; list.cursor != nullptr; list.cursor = list.cursor->next) {
        *this += list.cursor->data;
        if (++appended < list.count) {
            *this += separator;
        }
    }
}
