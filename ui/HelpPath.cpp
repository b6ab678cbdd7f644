#include "HelpPath.h"

#include "framework/Platform.h"
#include "framework/StringUtil.h"

CString HelpPathFor(const CString& strExecutable)
{
    CString strPath = strExecutable;
    const size_t nSlash = strPath.rfind('/');
    const size_t nDot = strPath.rfind('.');
    if (nDot != CString::npos && (nSlash == CString::npos || nDot > nSlash))
        strPath.erase(nDot);
    strPath += ".HLP";
    str::ReplaceAll(strPath, ".HLP", ".chm");
    return strPath;
}

CString ProgramHelpPath()
{
    return HelpPathFor(platform::SharedFilesPathFor(platform::GetModuleFileName()));
}
