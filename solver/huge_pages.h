#pragma once

#include <cstddef>
#include <vector>

namespace resist_model {

// Drops what v holds and gives it room for n values on huge pages where the system allows
// them. A solve walks a dozen arrays of the grid at once, several streams in each; on small
// pages every stream keeps missing the address cache. Fill v afterwards (assign, resize or
// copy): the pages are chosen when they are first touched.
void ReserveOnHugePages(std::vector<double>& v, std::size_t n);

}  // namespace resist_model
