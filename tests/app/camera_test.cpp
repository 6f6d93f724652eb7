#include "app/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kTol = 1e-9;

// Applies a column-major matrix to the point (x, y, z, 1).
Vec3 Transform(const Matrix4& m, const Vec3& p) {
    Vec3 out{};
    for (int r = 0; r < 3; ++r) {
        out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
    }
    return out;
}

double EyeDistance(const Camera& c) {
    return std::hypot(c.eye[0] - c.centre[0], c.eye[1] - c.centre[1], c.eye[2] - c.centre[2]);
}

void ExpectVec(const Vec3& actual, const Vec3& expected, double tol = kTol) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tol) << "component " << i;
    }
}

void ExpectSameCamera(const Camera& a, const Camera& b) {
    EXPECT_EQ(a.eye, b.eye);
    EXPECT_EQ(a.centre, b.centre);
    EXPECT_EQ(a.up, b.up);
}

// A right drag (three-button mode) of dx_px pixels in a 400 x 200 client area.
Camera RightDrag(Camera camera, int dx_px) {
    double dx = 0.0;
    double dy = 0.0;
    EXPECT_TRUE(DragFraction(100 + dx_px, 50, 100, 50, 400, 200, dx, dy));
    const CameraOperation op =
        ChooseCameraOperation(kMouseModeThreeButton, 0, MouseButtons{false, false, true}, false);
    EXPECT_EQ(op, CameraOperation::Scaling);
    EXPECT_TRUE(TransformCamera(camera, DragTransform(op, dx, dy)));
    return camera;
}

TEST(GlMatrix, LookAtMapsCentreToOriginAndEyeToUnitZ) {
    const Vec3 eye{4.0, -2.0, 7.0};
    const Vec3 centre{1.0, 2.0, 3.0};
    Matrix4 view;
    ASSERT_TRUE(MakeLookAtMatrix(eye, centre, {0.0, 0.0, 1.0}, view));
    ExpectVec(Transform(view, centre), {0.0, 0.0, 0.0});
    ExpectVec(Transform(view, eye), {0.0, 0.0, 1.0});
    // Up (projected off the viewing axis) points along +y of the view.
    const Vec3 above = Transform(view, {1.0, 2.0, 4.0});
    EXPECT_GT(above[1], 0.0);
    EXPECT_NEAR(above[0], 0.0, kTol);
}

TEST(GlMatrix, LookAtRefusesDegenerateCameras) {
    const Matrix4 untouched{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    Matrix4 view = untouched;
    EXPECT_FALSE(MakeLookAtMatrix({1, 1, 1}, {1, 1, 1}, {0, 1, 0}, view));  // eye on centre
    EXPECT_FALSE(MakeLookAtMatrix({0, 0, 3}, {0, 0, 0}, {0, 0, 5}, view));  // up on the axis
    EXPECT_FALSE(MakeLookAtMatrix({0, 0, 3}, {0, 0, 0}, {0, 0, 0}, view));  // no up
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(MakeLookAtMatrix({0, 0, nan}, {0, 0, 0}, {0, 1, 0}, view));
    EXPECT_EQ(view, untouched);
}

TEST(GlMatrix, InverseAndProduct) {
    const Matrix4 m{2, 0, 1, 0, 1, 3, 0, 0, 0, 1, 4, 0, 5, -6, 7, 1};
    Matrix4 inverse;
    ASSERT_EQ(InvertMatrix4(m, inverse), 1);
    Matrix4 product = inverse;
    MultiplyMatrix4(m, product);  // product := m * m^-1
    const Matrix4 identity = IdentityMatrix4();
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(product[i], identity[i], 1e-12) << i;
    }
    // Order: b := a * b, column-major. A translation after a scale moves the scaled point.
    Matrix4 scale = IdentityMatrix4();
    scale[0] = scale[5] = scale[10] = 2.0;
    Matrix4 translate = IdentityMatrix4();
    translate[12] = 1.0;
    MultiplyMatrix4(translate, scale);
    ExpectVec(Transform(scale, {1.0, 1.0, 1.0}), {3.0, 2.0, 2.0});

    const Matrix4 singular{1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1};
    Matrix4 dst = identity;
    EXPECT_EQ(InvertMatrix4(singular, dst), 0);
    EXPECT_EQ(dst, identity);
}

TEST(Camera, OperationTable) {
    const MouseButtons left{true, false, false};
    const MouseButtons middle{false, true, false};
    const MouseButtons middle_right{false, true, true};
    const int three = kMouseModeThreeButton;
    const int one = kMouseModeOneButton;
    EXPECT_EQ(ChooseCameraOperation(three, 0, {false, false, true}, false),
              CameraOperation::Scaling);
    EXPECT_EQ(ChooseCameraOperation(three, 0, middle_right, false), CameraOperation::Translation);
    EXPECT_EQ(ChooseCameraOperation(three, 0, middle, false), CameraOperation::Rotation3D);
    EXPECT_EQ(ChooseCameraOperation(three, 0, middle, true), CameraOperation::Rotation2D);
    // The left button does nothing in three-button mode, whatever the one-button choice.
    EXPECT_EQ(ChooseCameraOperation(three, kOneButtonScaling, left, false), CameraOperation::None);
    EXPECT_EQ(ChooseCameraOperation(one, kOneButtonScaling, left, false), CameraOperation::Scaling);
    EXPECT_EQ(ChooseCameraOperation(one, kOneButtonRotation2D, left, true),
              CameraOperation::Rotation2D);
    // One-button mode: any extra button, or an unknown operation, does nothing.
    EXPECT_EQ(ChooseCameraOperation(one, 0, {true, false, true}, false), CameraOperation::None);
    EXPECT_EQ(ChooseCameraOperation(one, 7, left, false), CameraOperation::None);
}

TEST(Camera, RightDragScalesEyeDistanceByPowersOfTwo) {
    // 400 x 200: the shorter side is 200 px, so 50 px is a quarter of it.
    EXPECT_NEAR(EyeDistance(RightDrag(Camera{}, -50)), 6.0, kTol);
    EXPECT_NEAR(EyeDistance(RightDrag(Camera{}, -100)), 12.0, kTol);
    EXPECT_NEAR(EyeDistance(RightDrag(Camera{}, 50)), 1.5, kTol);
    EXPECT_NEAR(EyeDistance(RightDrag(Camera{}, 100)), 0.75, kTol);
    const Camera zoomed = RightDrag(Camera{}, -50);
    ExpectVec(zoomed.centre, {0.0, 0.0, 0.0});
    ExpectVec(zoomed.up, {0.0, 1.0, 0.0});
}

TEST(Camera, TranslationAndRotations) {
    // A translation by the whole shorter side to the right moves the centre (and the scene
    // with the cursor) by the visible width 2 * 1.5 * d to the left of the view.
    Camera moved;
    ASSERT_TRUE(TransformCamera(moved, DragTransform(CameraOperation::Translation, 0.5, 0.0)));
    ExpectVec(moved.centre, {-4.5, 0.0, 0.0});
    ExpectVec(moved.eye, {-4.5, 0.0, 3.0});

    // A 3-D rotation keeps the centre and the distance, and up stays off the viewing axis.
    Camera turned;
    turned.eye = {1.0, 2.0, 3.0};
    turned.centre = {0.5, -1.0, 0.0};
    const double d = EyeDistance(turned);
    ASSERT_TRUE(
        TransformCamera(turned, DragTransform(CameraOperation::Rotation3D, 0.13, -0.31)));
    EXPECT_NEAR(EyeDistance(turned), d, 1e-9);
    ExpectVec(turned.centre, {0.5, -1.0, 0.0});
    EXPECT_TRUE(IsUsableCamera(turned));

    // A vertical drag over half the shorter side turns the eye by 90 degrees about x.
    Camera half;
    ASSERT_TRUE(TransformCamera(half, DragTransform(CameraOperation::Rotation3D, 0.0, 0.5)));
    ExpectVec(half.eye, {0.0, -3.0, 0.0}, 1e-9);

    // 2-D rotation turns up about the viewing axis and keeps the eye.
    Camera rolled;
    ASSERT_TRUE(TransformCamera(rolled, DragTransform(CameraOperation::Rotation2D, 0.5, 0.9)));
    ExpectVec(rolled.eye, {0.0, 0.0, 3.0});
    ExpectVec(rolled.up, {1.0, 0.0, 0.0}, 1e-9);
}

TEST(Camera, AxisKeys) {
    Camera c;
    c.centre = {1.0, 2.0, 3.0};
    c.eye = {1.0, 2.0, 8.0};
    ASSERT_TRUE(ApplyCameraKey(c, 'X', false));
    ExpectVec(c.eye, {6.0, 2.0, 3.0});
    ExpectVec(c.up, {0.0, 0.0, 1.0});
    ASSERT_TRUE(ApplyCameraKey(c, 'X', true));
    ExpectVec(c.eye, {-4.0, 2.0, 3.0});
    ASSERT_TRUE(ApplyCameraKey(c, 'Z', false));
    ExpectVec(c.eye, {1.0, 2.0, 8.0});
    ExpectVec(c.up, {0.0, 1.0, 0.0});
    ASSERT_TRUE(ApplyCameraKey(c, 'I', true));
    const double a = 5.0 / std::sqrt(3.0);
    ExpectVec(c.eye, {1.0 - a, 2.0 - a, 3.0 - a});
    ExpectVec(c.up, {0.0, 0.0, 1.0});
    ASSERT_TRUE(ApplyCameraKey(c, 'Y', false));
    ExpectVec(c.eye, {1.0, 7.0, 3.0});
    const Camera before = c;
    EXPECT_FALSE(ApplyCameraKey(c, 'Q', false));
    ExpectSameCamera(c, before);
}

TEST(Camera, AlignToNearestAxis) {
    // Exactly between +Y and +Z: the earlier (+Y) wins. Up was +Y, now the viewing axis, so
    // the nearest of the other four is taken, the earliest on a tie.
    Camera c;
    c.eye = {0.0, 2.0, 2.0};
    c.up = {0.0, 1.0, 0.0};
    ASSERT_TRUE(ApplyCameraKey(c, 'A', false));
    ExpectVec(c.eye, {0.0, std::sqrt(8.0), 0.0});
    ExpectVec(c.up, {1.0, 0.0, 0.0});  // +-X and +-Z are all equally near +Y
    EXPECT_TRUE(IsUsableCamera(c));
    c.eye = {0.0, 2.0, 1.0};
    c.up = {0.1, 0.6, 0.8};
    AlignToNearestAxis(c, false);
    ExpectVec(c.eye, {0.0, std::sqrt(5.0), 0.0});
    ExpectVec(c.up, {0.0, 0.0, 1.0});

    // Between +X and -Y, Shift: the opposite of +X; up along -Z stays.
    Camera d;
    d.eye = {3.0, -3.0, 0.0};
    d.up = {0.0, 0.0, -1.0};
    AlignToNearestAxis(d, true);
    ExpectVec(d.eye, {-std::sqrt(18.0), 0.0, 0.0});
    ExpectVec(d.up, {0.0, 0.0, -1.0});
}

TEST(Camera, DegenerateChangesLeaveTheCamera) {
    Camera c;
    c.eye = {0.0, 0.0, 2e-6};
    const Camera near = c;
    // Zooming in 16 times would go below the smallest eye distance.
    EXPECT_FALSE(TransformCamera(c, DragTransform(CameraOperation::Scaling, 1.0, 0.0)));
    ExpectSameCamera(c, near);

    c.eye = {0.0, 0.0, 5e5};
    const Camera far = c;
    EXPECT_FALSE(TransformCamera(c, DragTransform(CameraOperation::Scaling, -1.0, 0.0)));
    ExpectSameCamera(c, far);

    // A transform that is not finite, or singular, is refused.
    Matrix4 broken = IdentityMatrix4();
    broken[0] = std::numeric_limits<double>::infinity();
    c = Camera{};
    EXPECT_FALSE(TransformCamera(c, broken));
    Matrix4 flat = IdentityMatrix4();
    flat[10] = 0.0;
    EXPECT_FALSE(TransformCamera(c, flat));
    ExpectSameCamera(c, Camera{});

    // Keys on a camera whose centre lies at the edge of the doubles stay put.
    c.centre = {1.7e308, 0.0, 0.0};
    c.eye = {1.7e308, 0.0, 1e5};
    const Camera edge = c;
    EXPECT_TRUE(ApplyCameraKey(c, 'X', false));
    ExpectSameCamera(c, edge);

    // No client area: no drag.
    double dx = 1.0;
    double dy = 1.0;
    EXPECT_FALSE(DragFraction(10, 10, 0, 0, 0, 300, dx, dy));
    EXPECT_FALSE(DragFraction(10, 10, 0, 0, 300, 0, dx, dy));
}

TEST(Camera, OrthoExtents) {
    double hw = 0.0;
    double hh = 0.0;
    ASSERT_TRUE(OrthoExtents(400, 200, hw, hh));
    EXPECT_DOUBLE_EQ(hw, 3.0);
    EXPECT_DOUBLE_EQ(hh, 1.5);
    ASSERT_TRUE(OrthoExtents(100, 300, hw, hh));
    EXPECT_DOUBLE_EQ(hw, 1.5);
    EXPECT_DOUBLE_EQ(hh, 4.5);
    EXPECT_FALSE(OrthoExtents(0, 300, hw, hh));
    EXPECT_FALSE(OrthoExtents(300, 0, hw, hh));
}

}  // namespace
