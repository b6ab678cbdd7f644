#pragma once
// The program's strings are UTF-8 bytes; Qt's are UTF-16.

#include "framework/StringTypes.h"

#include <QByteArray>
#include <QString>

#include <string_view>

inline QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline CString FromQt(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return CString(bytes.constData(), static_cast<size_t>(bytes.size()));
}
