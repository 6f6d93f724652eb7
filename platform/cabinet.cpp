#include "platform/cabinet.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <memory>

#include <libgcab.h>

#include "platform/atomic_file.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using Object = std::unique_ptr<T, ObjectUnref>;

struct BytesUnref {
    void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};
using Bytes = std::unique_ptr<GBytes, BytesUnref>;

struct DateTimeUnref {
    void operator()(GDateTime* dt) const { g_date_time_unref(dt); }
};

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};

bool ValidName(const std::string& name) {
    return !name.empty() && name.size() <= 255 && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// Reads the source into memory: the entry carries the bytes, and the attributes and
// time are set from the source's status rather than the library's own guesses.
Object<GCabFile> MakeEntry(const CabinetEntry& entry) {
    struct stat st {};
    if (::stat(entry.source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    std::ifstream in(entry.source, std::ios::binary);
    if (!in) return nullptr;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return nullptr;

    Bytes bytes(g_bytes_new(data.data(), data.size()));
    Object<GCabFile> file(gcab_file_new_with_bytes(entry.name.c_str(), bytes.get()));
    if (!file) return nullptr;

    unsigned attributes = kCabArchive | kCabNameIsUtf8;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= kCabReadOnly;
    if (entry.name[0] == '.') attributes |= kCabHidden;
    gcab_file_set_attributes(file.get(), attributes);

    // The cabinet stores a DOS date and time, which by convention is local time.
    std::unique_ptr<GDateTime, DateTimeUnref> local(
        g_date_time_new_from_unix_local(static_cast<gint64>(st.st_mtime)));
    if (!local) return nullptr;
    gcab_file_set_date_time(file.get(), local.get());
    return file;
}

Bytes BuildCabinet(const std::vector<CabinetEntry>& entries) {
    Object<GCabCabinet> cabinet(gcab_cabinet_new());
    Object<GCabFolder> folder(gcab_folder_new(GCAB_COMPRESSION_MSZIP));
    GError* raw_error = nullptr;
    for (const CabinetEntry& entry : entries) {
        Object<GCabFile> file = MakeEntry(entry);
        if (!file) return nullptr;
        if (!gcab_folder_add_file(folder.get(), file.get(), FALSE, nullptr, &raw_error)) {
            std::unique_ptr<GError, ErrorFree> error(raw_error);
            return nullptr;
        }
    }
    if (!gcab_cabinet_add_folder(cabinet.get(), folder.get(), &raw_error)) {
        std::unique_ptr<GError, ErrorFree> error(raw_error);
        return nullptr;
    }
    Object<GOutputStream> out(g_memory_output_stream_new_resizable());
    const bool written =
        gcab_cabinet_write_simple(cabinet.get(), out.get(), nullptr, nullptr, nullptr,
                                  &raw_error) &&
        g_output_stream_close(out.get(), nullptr, &raw_error);
    if (!written) {
        std::unique_ptr<GError, ErrorFree> error(raw_error);
        return nullptr;
    }
    return Bytes(g_memory_output_stream_steal_as_bytes(G_MEMORY_OUTPUT_STREAM(out.get())));
}

}  // namespace

bool WriteCabinet(const fs::path& target, const std::vector<CabinetEntry>& entries) {
    if (entries.empty() || target.filename().empty()) return false;
    for (const CabinetEntry& entry : entries) {
        if (!ValidName(entry.name)) return false;
    }
    Bytes cabinet = BuildCabinet(entries);
    if (!cabinet) return false;

    gsize size = 0;
    const char* data = static_cast<const char*>(g_bytes_get_data(cabinet.get(), &size));
    return WriteFileAtomically(target, std::string_view(data, size));
}

}  // namespace platform
