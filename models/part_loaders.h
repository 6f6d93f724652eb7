#pragma once

#include <memory>
#include <optional>
#include <string>

#include "models/bga/bga_detailed_model.h"
#include "models/bga/bga_simplified_model.h"
#include "models/package_types.h"
#include "models/part_file.h"
#include "models/pdevice/power_device_detailed_model.h"
#include "models/pdevice/sot223_detailed_model.h"
#include "models/qfp/qfp_detailed_model.h"
#include "models/qfp/qfp_simplified_model.h"

namespace pkg {

// Each loader reads a part file over the defaults of its model class and names the model
// after the file's stem. The model is not built yet. Empty when the file does not open or
// its reader refuses it (another family, another type, a type the program does not know,
// a missing element); never throws for a bad file. A BGA loader also reads "fcbga" files
// and the older "bga" ones, a QFP loader "sop" files.
std::shared_ptr<bga::BGADetailedModel> LoadBGADetailedModel(const std::wstring& path);
std::shared_ptr<qfp::QFPDetailedModel> LoadQFPDetailedModel(const std::wstring& path);
std::shared_ptr<pdevice::TO220DetailedModel> LoadTO220DetailedModel(const std::wstring& path);
std::shared_ptr<pdevice::TO247DetailedModel> LoadTO247DetailedModel(const std::wstring& path);
std::shared_ptr<pdevice::TO263DetailedModel> LoadTO263DetailedModel(const std::wstring& path);
std::shared_ptr<pdevice::TO252DetailedModel> LoadTO252DetailedModel(const std::wstring& path);
std::shared_ptr<pdevice::SOT89DetailedModel> LoadSOT89DetailedModel(const std::wstring& path);
std::shared_ptr<pdevice::SOT223DetailedModel> LoadSOT223DetailedModel(const std::wstring& path);
std::shared_ptr<bga::BGASimplifiedModel> LoadBGASimplifiedModel(const std::wstring& path);
std::shared_ptr<qfp::QFPSimplifiedModel> LoadQFPSimplifiedModel(const std::wstring& path);

// The "type" text of the part file at `path`; nothing when the file does not open or is
// no part file. Never throws.
std::optional<std::string> ReadPartFileType(const std::wstring& path);

// Why the part file at `path` does not open: the first thing about it that the reader of
// its own type refuses (a file that cannot be read, a missing element), kUnknownType with
// the file's type text for a type the program does not know, and kNone when it reads
// after all. Never throws.
PartFileRefusal ExplainPartFileRefusal(const std::wstring& path);
// A package object with the defaults of package type `index` (0 to 9 in kPackageTypes);
// empty for any other index. It is also the type's detailed model.
std::shared_ptr<SemiconductorPackage> MakeDefaultPackage(int index);

}  // namespace pkg
