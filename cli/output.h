// Where a run's results go: readable lines on stdout, or with --json exactly one JSON
// object on stdout at the end of the run. Errors and progress go to stderr in JSON mode.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace torvexctl {

class Output {
public:
    // `quiet`: no result lines and no progress, only warnings and errors.
    explicit Output(bool json, bool quiet = false) : json_(json), quiet_(quiet) { }

    bool Json() const { return json_; }

    // A result line for the reader (UTF-8); dropped in JSON and quiet modes (Data() carries
    // it in JSON mode).
    void Info(const std::string& line);
    // A remark that is not the result (warnings, hints): stderr in both modes.
    void Note(const std::string& line);
    // What went wrong and what to do: stderr, and the "error" field in JSON mode.
    void Error(const std::string& message);

    // The JSON object being built (UTF-8 strings only).
    nlohmann::ordered_json& Data() { return data_; }

    // Stream for progress display: stdout, stderr when stdout carries JSON, none when quiet.
    std::FILE* ProgressStream() const { return quiet_ ? nullptr : json_ ? stderr : stdout; }

    // Ends the run: in JSON mode, writes the object with "status" and "exit_code".
    void Finish(int exitCode);

private:
    bool json_;
    bool quiet_;
    nlohmann::ordered_json data_ = nlohmann::ordered_json::object();
};

}  // namespace torvexctl
