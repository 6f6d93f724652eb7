#include "parts_ui/part_file_operations.h"

bool PartFileOperations::CheckSaveModifiedPart() {
    // No part can be edited yet, so there is never anything to save.
    return true;
}
