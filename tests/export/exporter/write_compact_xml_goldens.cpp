// Writes the golden compact-model documents into the folder given as the only argument.
// Run through scripts/update-goldens after a deliberate format change; the diff it leaves
// in the working tree is read by a person before it is committed.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/export/exporter/compact_xml_documents.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const auto& [name, text] : testutil::CompactXmlDocuments()) {
        const std::string path = std::string(argv[1]) + "/" + name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("wrote %s\n", path.c_str());
    }
    return 0;
}
