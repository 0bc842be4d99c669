// A folder plus a file name.
#pragma once

#include <string>

class XGFileSpecifier {
public:
    XGFileSpecifier() = default;
    explicit XGFileSpecifier(const std::string& path);
    XGFileSpecifier(std::string folder, std::string name) : fFolder(std::move(folder)), fName(std::move(name)) {}

    bool IsEmpty() const { return fName.empty(); }
    const std::string& GetFolder() const { return fFolder; }
    const std::string& GetName() const { return fName; }
    std::string GetPath() const;
    // The name without an extension of up to three characters after the last '.'.
    std::string GetBaseName() const;
    // The text after the last '.', or "".
    std::string GetExtension() const;

    bool operator==(const XGFileSpecifier& other) const;

    // Creates a new empty file "temp-%x" in the folder and returns it.
    // Raises 128/16 when no file can be made there.
    static XGFileSpecifier MakeTemporary(const std::string& folder);

private:
    std::string fFolder;
    std::string fName;
};

// The path made absolute and normal (no ".", "..", or doubled separators); files need not exist.
std::string XGNormalPath(const std::string& path);
