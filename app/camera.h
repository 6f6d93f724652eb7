#pragma once

#include "app/gl_matrix.h"

// The orthographic camera of the 3-D views, without any GL: eye, centre and up in world
// units. The eye distance |eye - centre| is the zoom; the shorter side of the view shows
// 2 * kViewHalfExtent * distance world units.
struct Camera {
    Vec3 eye{0.0, 0.0, 3.0};
    Vec3 centre{0.0, 0.0, 0.0};
    Vec3 up{0.0, 1.0, 0.0};
};

// Half the visible height or width, in view units, on the shorter side of the view.
constexpr double kViewHalfExtent = 1.5;

// The eye distances a camera may take; a change that leaves this range is refused.
constexpr double kMinEyeDistance = 1e-6;
constexpr double kMaxEyeDistance = 1e6;

// Mouse modes and one-button operations, as the program settings hold them.
constexpr int kMouseModeThreeButton = 0;
constexpr int kMouseModeOneButton = 1;
constexpr int kOneButtonRotation3D = 0;
constexpr int kOneButtonRotation2D = 1;
constexpr int kOneButtonTranslation = 2;
constexpr int kOneButtonScaling = 3;

enum class CameraOperation { None, Scaling, Translation, Rotation3D, Rotation2D };

struct MouseButtons {
    bool left = false;
    bool middle = false;
    bool right = false;
};

// The drag operation for the buttons held (exactly these) in the given mouse mode.
// Three-button mode: right scales, middle + right translates, middle rotates (in 3-D, or
// in the view plane with Shift). One-button mode: the left button alone does the chosen
// operation. Anything else is None.
CameraOperation ChooseCameraOperation(int mouse_mode, int one_button_operation,
                                      const MouseButtons& buttons, bool shift);

// The drag from the last mouse point in fractions of the shorter client side, y upwards.
// False for a client area without width or height.
bool DragFraction(int x, int y, int last_x, int last_y, int client_width, int client_height,
                  double& dx, double& dy);

// The view-space transform of a drag of (dx, dy) fractions of the shorter side: scaling
// by 2^(4 dx), translation following the cursor, a 3-D rotation by pi * |drag| about the
// view-plane axis perpendicular to the drag, or a turn by pi * dx about the viewing axis.
// Identity for None.
Matrix4 DragTransform(CameraOperation operation, double dx, double dy);

// Moves the camera by the view-space transform T (the new view is T * old view). False,
// with the camera unchanged, when the result would be unusable (see IsUsableCamera).
bool TransformCamera(Camera& camera, const Matrix4& view_transform);

// A camera that can be drawn and moved: all values finite, eye distance within
// [kMinEyeDistance, kMaxEyeDistance], and a view matrix that exists.
bool IsUsableCamera(const Camera& camera);

// The keys I, X, Y, Z and A (key codes of the upper-case letters): an isometric view or a
// view along an axis at the same distance, from the opposite side with Shift. False for
// any other key. A key whose new camera is unusable leaves the camera as it was.
bool ApplyCameraKey(Camera& camera, int key, bool shift);

// Looks along the axis direction nearest to the current one (ties keep the earlier of +X,
// -X, +Y, -Y, +Z, -Z), from the opposite side when asked, at the same distance, with the
// up direction nearest to the current up among the four axes off the viewing axis.
void AlignToNearestAxis(Camera& camera, bool opposite);

// Orthographic extents for a client area: the shorter side spans +-kViewHalfExtent.
// False for a client area without width or height.
bool OrthoExtents(int width, int height, double& half_width, double& half_height);
