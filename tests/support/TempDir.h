#pragma once
// A fresh folder under the temporary directory, removed with its contents.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class CTempDir
{
public:
    CTempDir()
    {
        std::string strTemplate =
            (std::filesystem::temp_directory_path() / "korvane-test-XXXXXX").string();
        if (::mkdtemp(strTemplate.data()) != nullptr)
            m_path = strTemplate;
    }
    ~CTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& strName) const { return (m_path / strName).string(); }

    // Writes the bytes as they are and returns the file's path.
    std::string Write(const std::string& strName, const std::string& strBytes) const
    {
        std::string strPath = File(strName);
        std::ofstream out(strPath, std::ios::binary);
        out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
        return strPath;
    }

    static std::string Read(const std::string& strPath)
    {
        std::ifstream in(strPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};
