#pragma once

#include <cstdio>
#include <string>

namespace resist_model {

// The run's text report. Every line goes through here; when no list file was asked for,
// or it could not be created, lines are dropped. The report is written to a temporary
// file beside the target and renamed over it only by Commit once every write and the
// close succeeded, so a failed write leaves a previous list file as it was and no
// temporary behind. The temporary is named as every temporary of the program is, so that
// it fits the file system's name limit wherever the list file does and the program's
// start-up removes the one a killed run left behind.
class ListFile {
public:
    ListFile() = default;
    // Discards an uncommitted temporary.
    ~ListFile();
    ListFile(const ListFile&) = delete;
    ListFile& operator=(const ListFile&) = delete;

    // Starts a new report for path; false when its temporary cannot be created.
    bool Open(const std::string& path);
    // Checks the writes, closes and renames the temporary over the target; false (and the
    // temporary removed) when anything failed. Nothing is open afterwards.
    bool Commit();
    bool IsOpen() const { return file_ != nullptr; }

    void Line(const std::string& text);
    // Text that already holds its line ends (a stage's buffered block).
    void Write(const std::string& text);

    // Tests give the temporary a stream that fails (a full device) through this; null
    // restores the stream on the temporary itself. It receives the temporary's descriptor
    // and must take it over or close it.
    using StreamOpener = std::FILE* (*)(int descriptor);
    static void SetStreamOpenerForTest(StreamOpener opener);

private:
    void Discard();

    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temporary_;
    bool failed_ = false;
};

}  // namespace resist_model
