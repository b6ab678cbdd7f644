#pragma once
// The one shape of every message about a file the program could not use:
// Cannot <do> "<path>": <reason>.

#include "StringTypes.h"

#include <string_view>

namespace msg {

inline CString CannotDo(std::string_view strDoing, std::string_view strPath,
                        std::string_view strReason)
{
    CString strText = "Cannot ";
    strText.append(strDoing).append(" \"").append(strPath).append("\": ").append(strReason);
    return strText;
}

inline CString CannotWrite(std::string_view strPath, std::string_view strReason)
{
    return CannotDo("write", strPath, strReason);
}

inline CString CannotOpen(std::string_view strPath, std::string_view strReason)
{
    return CannotDo("open", strPath, strReason);
}

inline CString CannotRead(std::string_view strPath, std::string_view strReason)
{
    return CannotDo("read", strPath, strReason);
}

} // namespace msg
