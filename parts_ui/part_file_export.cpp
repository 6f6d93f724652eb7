#include "parts_ui/part_file_operations.h"

void PartFileOperations::Export() {}
