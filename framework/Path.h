#pragma once
// Splitting a path into its folder, file name and extension. The folder
// separator is "/"; an extension is what follows the last dot of the file
// name (a dot in a folder name does not count).

#include "StringTypes.h"

#include <string_view>

namespace path {

// The file name: what follows the last "/", or the whole path.
inline std::string_view FileName(std::string_view strPath)
{
    const size_t nSlash = strPath.rfind('/');
    return nSlash == std::string_view::npos ? strPath : strPath.substr(nSlash + 1);
}

// The folder with its closing "/", or empty when the path has no "/".
inline std::string_view Folder(std::string_view strPath)
{
    const size_t nSlash = strPath.rfind('/');
    return nSlash == std::string_view::npos ? std::string_view() : strPath.substr(0, nSlash + 1);
}

// Where the dot that starts the file name's extension stands, or npos.
inline size_t ExtensionDot(std::string_view strPath)
{
    const size_t nSlash = strPath.rfind('/');
    const size_t nDot = strPath.rfind('.');
    if (nDot == std::string_view::npos || (nSlash != std::string_view::npos && nDot < nSlash))
        return std::string_view::npos;
    return nDot;
}

// The extension without its dot; empty when there is none.
inline CString Extension(std::string_view strPath)
{
    const size_t nDot = ExtensionDot(strPath);
    return nDot == std::string_view::npos ? CString() : CString(strPath.substr(nDot + 1));
}

// The path without the extension of its file name (and without its dot).
inline CString WithoutExtension(std::string_view strPath)
{
    return CString(strPath.substr(0, ExtensionDot(strPath)));
}

} // namespace path
