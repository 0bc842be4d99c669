// A batch script ("Quenchold Script File", .QSF): parsed from its file by load_script,
// carried out against the open tag files by run_script. The application keeps one;
// tests make their own.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "script/script_definition.h"
#include "script/script_exception.h"
#include "script/script_reader.h"

class TTagStore;
class TScriptLine;

constexpr const char* SCRIPT_ERROR_MESSAGE = "Script Error";
constexpr const char* SCRIPT_ERROR_CAPTION = "Quenchold Scripting";
constexpr const char* SCRIPT_LOG_NAME = "script_log.txt";

class TScript {
public:
    // Shows a parse error: the message, the explanation "Line %d: %s" and the caption.
    using alert_handler =
        std::function<void(const std::string& message, const std::string& explanation, const std::string& caption)>;

    TScript();
    ~TScript();
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    // Releases any earlier script, then reads and parses the file. On a parse error the
    // alert shows it, last_error keeps it, nothing is kept and the result is false.
    bool load_script(const std::string& path);
    void free_script();
    // Carries out the parsed script against the store, logging to the log file (appended
    // to). Failing entries are logged and passed over. False only when nothing is parsed.
    bool run_script(TTagStore& store);

    const script_definition* definition() const { return fScript.get(); }
    const quenchold_script_exception& last_error() const { return fError; }
    std::string error_text() const; // "Line %d: %s"

    // The log file; script_log.txt in the current folder unless set.
    void set_log_path(std::string path) { fLogPath = std::move(path); }
    const std::string& log_path() const { return fLogPath; }
    void set_alert_handler(alert_handler handler) { fAlert = std::move(handler); }

private:
    void Parse();
    void ReadHeader(std::string& token);
    bool NextKeyword(std::string& token, int32_t& line);
    void Grow();
    void Dispatch(script_entry& e, uint32_t allowed);
    void ParseFile(TScriptLine& line, script_entry& e);
    void ParseType(TScriptLine& line, script_entry& e);
    void ParseTag(TScriptLine& line, script_entry& e);
    void ParseValues(TScriptLine& line, script_entry& e);

    std::unique_ptr<script_definition> fScript;
    TScriptReader fReader;
    quenchold_script_exception fError{0, {}};
    std::string fLogPath = SCRIPT_LOG_NAME;
    alert_handler fAlert;
};
