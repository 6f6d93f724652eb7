#include "app/camera.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

double Distance(const Vec3& a, const Vec3& b) {
    const double x = a[0] - b[0];
    const double y = a[1] - b[1];
    const double z = a[2] - b[2];
    return std::sqrt(x * x + y * y + z * z);
}

Matrix4 RotationZ(double angle) {
    Matrix4 m = IdentityMatrix4();
    m[0] = std::cos(angle);
    m[1] = std::sin(angle);
    m[4] = -std::sin(angle);
    m[5] = std::cos(angle);
    return m;
}

Matrix4 RotationY(double angle) {
    Matrix4 m = IdentityMatrix4();
    m[0] = std::cos(angle);
    m[2] = -std::sin(angle);
    m[8] = std::sin(angle);
    m[10] = std::cos(angle);
    return m;
}

// Replaces the camera only when the candidate is usable.
bool Commit(Camera& camera, const Camera& candidate) {
    if (!IsUsableCamera(candidate)) {
        return false;
    }
    camera = candidate;
    return true;
}

// Index into the axis directions +X, -X, +Y, -Y, +Z, -Z nearest to `v`, skipping those on
// the axis `excluded_axis` (0..2, or -1 for none); ties keep the earlier direction.
int NearestAxisDirection(const Vec3& v, int excluded_axis) {
    int best = -1;
    double best_distance = 0.0;
    for (int i = 0; i < 6; ++i) {
        const int axis = i / 2;
        if (axis == excluded_axis) {
            continue;
        }
        Vec3 direction{0.0, 0.0, 0.0};
        direction[axis] = (i % 2 == 0) ? 1.0 : -1.0;
        double squared = 0.0;
        for (int k = 0; k < 3; ++k) {
            squared += (v[k] - direction[k]) * (v[k] - direction[k]);
        }
        if (best < 0 || squared < best_distance) {
            best = i;
            best_distance = squared;
        }
    }
    return best;
}

Vec3 AxisDirection(int index) {
    Vec3 direction{0.0, 0.0, 0.0};
    direction[index / 2] = (index % 2 == 0) ? 1.0 : -1.0;
    return direction;
}

}  // namespace

CameraOperation ChooseCameraOperation(int mouse_mode, int one_button_operation,
                                      const MouseButtons& buttons, bool shift) {
    if (mouse_mode == kMouseModeThreeButton) {
        if (buttons.left) {
            return CameraOperation::None;
        }
        if (buttons.right) {
            return buttons.middle ? CameraOperation::Translation : CameraOperation::Scaling;
        }
        if (buttons.middle) {
            return shift ? CameraOperation::Rotation2D : CameraOperation::Rotation3D;
        }
        return CameraOperation::None;
    }
    if (mouse_mode == kMouseModeOneButton && buttons.left && !buttons.middle &&
        !buttons.right) {
        switch (one_button_operation) {
            case kOneButtonScaling: return CameraOperation::Scaling;
            case kOneButtonTranslation: return CameraOperation::Translation;
            case kOneButtonRotation3D: return CameraOperation::Rotation3D;
            case kOneButtonRotation2D: return CameraOperation::Rotation2D;
            default: break;
        }
    }
    return CameraOperation::None;
}

bool DragFraction(int x, int y, int last_x, int last_y, int client_width, int client_height,
                  double& dx, double& dy) {
    const int shorter = client_width < client_height ? client_width : client_height;
    if (shorter <= 0) {
        return false;
    }
    dx = static_cast<double>(x - last_x) / shorter;
    dy = -static_cast<double>(y - last_y) / shorter;
    return true;
}

Matrix4 DragTransform(CameraOperation operation, double dx, double dy) {
    Matrix4 t = IdentityMatrix4();
    switch (operation) {
        case CameraOperation::Scaling: {
            // A drag to the right over the whole shorter side zooms in 16 times.
            const double k = std::pow(2.0, 4.0 * dx);
            t[0] = t[5] = t[10] = k;
            break;
        }
        case CameraOperation::Translation:
            // The view spans 2 * kViewHalfExtent on the shorter side: the scene follows
            // the cursor.
            t[12] = 2.0 * kViewHalfExtent * dx;
            t[13] = 2.0 * kViewHalfExtent * dy;
            break;
        case CameraOperation::Rotation3D: {
            const double a = std::atan2(kPi * dy, kPi * dx);
            const double r = kPi * std::sqrt(dx * dx + dy * dy);
            // Rz(a) * Ry(r) * Rz(-a): a turn by r about (-sin a, cos a, 0).
            Matrix4 turn = RotationY(r);
            MultiplyMatrix4(RotationZ(a), turn);
            t = RotationZ(-a);
            MultiplyMatrix4(turn, t);
            break;
        }
        case CameraOperation::Rotation2D:
            t = RotationZ(kPi * dx);
            break;
        case CameraOperation::None:
            break;
    }
    return t;
}

bool TransformCamera(Camera& camera, const Matrix4& view_transform) {
    Matrix4 view;
    if (!MakeLookAtMatrix(camera.eye, camera.centre, camera.up, view)) {
        return false;
    }
    MultiplyMatrix4(view_transform, view);
    Matrix4 frame;
    if (InvertMatrix4(view, frame) == 0) {
        return false;
    }
    // The inverse view is the camera's frame: its origin is the centre, its z column
    // reaches the eye and its y column points up.
    Camera moved;
    moved.centre = {frame[12], frame[13], frame[14]};
    moved.eye = {moved.centre[0] + frame[8], moved.centre[1] + frame[9],
                 moved.centre[2] + frame[10]};
    const double up_length = std::sqrt(frame[4] * frame[4] + frame[5] * frame[5] +
                                       frame[6] * frame[6]);
    if (!(up_length > 0.0)) {
        return false;
    }
    moved.up = {frame[4] / up_length, frame[5] / up_length, frame[6] / up_length};
    return Commit(camera, moved);
}

bool IsUsableCamera(const Camera& camera) {
    const double d = Distance(camera.eye, camera.centre);
    if (!std::isfinite(d) || d < kMinEyeDistance || d > kMaxEyeDistance) {
        return false;
    }
    Matrix4 view;
    return MakeLookAtMatrix(camera.eye, camera.centre, camera.up, view);
}

bool ApplyCameraKey(Camera& camera, int key, bool shift) {
    double r = Distance(camera.eye, camera.centre);
    if (shift) {
        r = -r;
    }
    const Vec3& c = camera.centre;
    Camera moved = camera;
    switch (key) {
        case 'I': {
            const double a = r / std::sqrt(3.0);
            moved.eye = {c[0] + a, c[1] + a, c[2] + a};
            moved.up = {0.0, 0.0, 1.0};
            break;
        }
        case 'X':
            moved.eye = {c[0] + r, c[1], c[2]};
            moved.up = {0.0, 0.0, 1.0};
            break;
        case 'Y':
            moved.eye = {c[0], c[1] + r, c[2]};
            moved.up = {0.0, 0.0, 1.0};
            break;
        case 'Z':
            moved.eye = {c[0], c[1], c[2] + r};
            moved.up = {0.0, 1.0, 0.0};
            break;
        case 'A':
            AlignToNearestAxis(camera, shift);
            return true;
        default:
            return false;
    }
    Commit(camera, moved);
    return true;
}

void AlignToNearestAxis(Camera& camera, bool opposite) {
    const double d = Distance(camera.eye, camera.centre);
    const double up_length = std::sqrt(camera.up[0] * camera.up[0] +
                                       camera.up[1] * camera.up[1] +
                                       camera.up[2] * camera.up[2]);
    if (!(d > 0.0) || !(up_length > 0.0)) {
        return;
    }
    const Vec3 n{(camera.eye[0] - camera.centre[0]) / d, (camera.eye[1] - camera.centre[1]) / d,
                 (camera.eye[2] - camera.centre[2]) / d};
    const int view_index = NearestAxisDirection(n, -1);
    const Vec3 u{camera.up[0] / up_length, camera.up[1] / up_length, camera.up[2] / up_length};
    const int up_index = NearestAxisDirection(u, view_index / 2);

    const Vec3 view = AxisDirection(view_index);
    const double side = opposite ? -d : d;
    Camera moved = camera;
    moved.eye = {camera.centre[0] + side * view[0], camera.centre[1] + side * view[1],
                 camera.centre[2] + side * view[2]};
    moved.up = AxisDirection(up_index);
    Commit(camera, moved);
}

bool OrthoExtents(int width, int height, double& half_width, double& half_height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    if (width >= height) {
        half_height = kViewHalfExtent;
        half_width = kViewHalfExtent * width / height;
    } else {
        half_width = kViewHalfExtent;
        half_height = kViewHalfExtent * height / width;
    }
    return true;
}
