#pragma once

class wxImageList;

// The parts tree's images, 16 pixels square: 0 a folder, 1 a part file. The caller owns
// the list (give it to a tree with AssignImageList).
wxImageList* MakeFileTreeImages();
