#include "app/preview_view.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include <wx/frame.h>
#include <wx/uiaction.h>

#include "models/detailed_model.h"
#include "resources/logo.h"
#include "tests/support/wx_test.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 200;  // the shorter side: 200 px show 9 world units at start

struct Rgb {
    int r;
    int g;
    int b;
};

bool Near(const Rgb& a, const Rgb& b, int tol) {
    return std::abs(a.r - b.r) <= tol && std::abs(a.g - b.g) <= tol &&
           std::abs(a.b - b.b) <= tol;
}

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};

// Counts the frames the view draws.
class CountingPreview : public PreviewView {
public:
    using PreviewView::PreviewView;
    int frames = 0;

protected:
    void DrawScene() override {
        ++frames;
        PreviewView::DrawScene();
    }
};

struct TestModel : pkg::DetailedModel {
    int Build() override { return 0; }
    int BuildWithAir() override { return 0; }
};

// A group with one box of the given size (mm) centred on x, y = 0 and 1 mm high.
pkg::GroupPtr BoxGroup(const std::wstring& name, double x, double y, double size) {
    pkg::GroupPtr group = pkg::MakeGroup(name);
    group->AddCuboid("box", "mold", pkg::Cuboid{x - size / 2, y - size / 2, -0.5, size, size, 1.0});
    return group;
}

class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "preview", wxPoint(40, 40), wxDefaultSize);
        frame->SetClientSize(kWidth, kHeight);
        view = new CountingPreview(frame, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight));
        frame->Show();
        // The first paint makes the context; only then can a test render by itself.
        ASSERT_TRUE(zentrik_test::WaitUntil([&] { return view->frames > 0; }));
        ASSERT_EQ(view->GetClientSize(), wxSize(kWidth, kHeight));
    }

    void TearDown() override {
        frame->Destroy();
        zentrik_test::DispatchPending();
    }

    // Renders a frame and reads the back buffer before any swap (the front buffer reads
    // back black on the virtual display). Rows are kept top first.
    void RenderFrame() {
        ASSERT_TRUE(view->MakeCurrent());
        view->Render();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        pixels.assign(static_cast<std::size_t>(kWidth) * kHeight * 3, 0);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    Rgb At(int x, int y_from_top) const {
        const std::size_t i = (static_cast<std::size_t>(kHeight - 1 - y_from_top) * kWidth + x) * 3;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    // Moves the pointer over the view's client point and waits until the view has seen it.
    wxPoint PointerAt(int x, int y) {
        const wxPoint screen = view->ClientToScreen(wxPoint(x, y));
        EXPECT_TRUE(sim.MouseMove(screen));
        EXPECT_TRUE(zentrik_test::WaitUntil([&] { return wxGetMousePosition() == screen; }));
        zentrik_test::DispatchPending();
        view->SetFocus();
        return screen;
    }

    Rgb Centre() const { return At(kWidth / 2, kHeight / 2); }

    // A white background with the given root and keys.
    void ShowModel(std::shared_ptr<const pkg::Group> root, std::vector<std::string> keys) {
        view->BackgroundType = 1;
        view->ModelRoot = std::move(root);
        view->VisibleComponentKeys = std::move(keys);
        RenderFrame();
    }

    wxFrame* frame = nullptr;
    CountingPreview* view = nullptr;
    std::vector<unsigned char> pixels;
    wxUIActionSimulator sim;
};

TEST_F(Preview, Backgrounds) {
    view->BackgroundType = 0;
    RenderFrame();
    EXPECT_TRUE(Near(At(10, 10), kBlack, 0)) << At(10, 10);
    EXPECT_TRUE(Near(Centre(), kBlack, 0));

    for (int type : {1, 7}) {
        view->BackgroundType = type;
        RenderFrame();
        EXPECT_TRUE(Near(At(10, 10), kWhite, 0)) << type;
        EXPECT_TRUE(Near(At(10, kHeight - 1), kWhite, 0)) << type;
    }

    view->BackgroundType = 2;
    view->TopColor = 0xFF7E00;  // red 0, green 126, blue 255
    view->BottomColor = 0xFFFFFF;
    RenderFrame();
    EXPECT_TRUE(Near(At(10, 0), Rgb{0, 126, 255}, 2)) << At(10, 0);
    EXPECT_TRUE(Near(At(10, kHeight - 1), kWhite, 2)) << At(10, kHeight - 1);
    const Rgb middle = At(10, kHeight / 2);
    EXPECT_NEAR(middle.g, (126 + 255) / 2, 3) << middle;

    // The projection follows the client size: 240 x 200 shows +-1.8 by +-1.5 view units
    // (GL keeps it in floats).
    GLdouble projection[16];
    glMatrixMode(GL_PROJECTION);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[0], 1.0 / 1.8, 1e-6);
    EXPECT_NEAR(projection[5], 1.0 / 1.5, 1e-6);
    EXPECT_NEAR(projection[10], -2.0 / 200.0, 1e-6);
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(Preview, GroupsDrawnByComponentKey) {
    // 4 mm box: +-44 px about the centre.
    ShowModel(BoxGroup(L"mold_group", 0, 0, 4.0), {"chip", "mold"});
    const Rgb face = Centre();
    EXPECT_GT(face.r, face.g);
    EXPECT_GT(face.g, face.b);
    // Lit palette colour 0 keeps its hue: green / red = 117 / 255.
    EXPECT_NEAR(static_cast<double>(face.g) / face.r, 117.0 / 255.0, 0.03) << face;
    EXPECT_FALSE(Near(face, kWhite, 10));

    // Along the middle row the face ends in a black edge, then the background.
    int x = kWidth / 2;
    while (x > 0 && Near(At(x, kHeight / 2), face, 8)) {
        --x;
    }
    EXPECT_TRUE(Near(At(x, kHeight / 2), kBlack, 0)) << "x " << x << " " << At(x, kHeight / 2);
    EXPECT_NEAR(x, kWidth / 2 - 44, 2);
    EXPECT_TRUE(Near(At(x - 3, kHeight / 2), kWhite, 0));

    // Not drawn: no keys; a key that differs in case; a key longer than the name.
    ShowModel(BoxGroup(L"mold_group", 0, 0, 4.0), {});
    EXPECT_TRUE(Near(Centre(), kWhite, 0)) << Centre();
    ShowModel(BoxGroup(L"Mold", 0, 0, 4.0), {"mold"});
    EXPECT_TRUE(Near(Centre(), kWhite, 0)) << Centre();
    ShowModel(BoxGroup(L"mold", 0, 0, 4.0), {"mold_group"});
    EXPECT_TRUE(Near(Centre(), kWhite, 0)) << Centre();

    // The children of a group that is not drawn are still visited. A prism spans its base
    // z and thickness whatever z its corners hold (here far outside the depth range).
    pkg::GroupPtr root = pkg::MakeGroup(L"package");
    pkg::GroupPtr lead = pkg::MakeGroup(L"lead");
    pkg::Prism prism{{{-2, -2, 1e3}, {2, -2, 1e3}, {2, 2, 1e3}, {-2, 2, 1e3}}, 1.0, -0.5};
    lead->AddPrism("lead", "copper", prism);
    root->AddChild(lead);
    ShowModel(root, {"lead"});
    const Rgb solid = Centre();
    EXPECT_NEAR(static_cast<double>(solid.g) / solid.r, 209.0 / 255.0, 0.03) << solid;
}

TEST_F(Preview, EleventhGroupTakesTheFirstColourAgain) {
    // Visit order: root (0), left box; child 1 (1), middle box; children 2..9 empty;
    // child 10 (10 mod 10 = 0), right box.
    pkg::GroupPtr root = BoxGroup(L"mold", -3.0, 0, 1.0);
    root->AddChild(BoxGroup(L"mold", 0, 0, 1.0));
    for (int i = 2; i <= 9; ++i) {
        root->AddChild(pkg::MakeGroup(L"mold"));
    }
    root->AddChild(BoxGroup(L"mold", 3.0, 0, 1.0));
    ShowModel(root, {"mold"});
    const int dx = 3 * kHeight / 9;  // 3 mm in pixels
    const Rgb left = At(kWidth / 2 - dx, kHeight / 2);
    const Rgb middle = At(kWidth / 2, kHeight / 2);
    const Rgb right = At(kWidth / 2 + dx, kHeight / 2);
    EXPECT_TRUE(Near(left, right, 4)) << left << " " << right;
    EXPECT_NEAR(static_cast<double>(left.g) / left.r, 117.0 / 255.0, 0.03) << left;
    EXPECT_NEAR(static_cast<double>(middle.g) / middle.r, 209.0 / 255.0, 0.03) << middle;
}

TEST_F(Preview, SolidsHideTheEdgesBehindThem) {
    // A 1.6 mm block inside a 6 mm block, seen from the top (the start view) and from a
    // corner of the diagonal, where the inner block's diagonal cut is seen edge-on.
    pkg::GroupPtr root = pkg::MakeGroup(L"mold");
    root->AddCuboid("outer", "mold", pkg::Cuboid{-3, -3, -1, 6, 6, 2});
    root->AddCuboid("inner", "mold", pkg::Cuboid{-0.8, -0.8, -0.5, 1.6, 1.6, 0.5});
    root->AddPrism("cut", "mold",
                   pkg::Prism{{{-0.8, -0.8, 0}, {0.8, 0.8, 0}, {0.8, 0.8, 0}, {-0.8, -0.8, 0}}, 0.5, -0.5});
    for (const int key : {0, static_cast<int>('I')}) {
        if (key != 0) {
            wxKeyEvent up(wxEVT_KEY_UP);
            up.m_keyCode = key;
            view->GetEventHandler()->ProcessEvent(up);
        }
        ShowModel(root, {"mold"});
        // Between the outer block's edges the row through the centre is one lit face.
        const Rgb face = Centre();
        for (int x = kWidth / 2 - 20; x <= kWidth / 2 + 20; ++x) {
            EXPECT_TRUE(Near(At(x, kHeight / 2), face, 8))
                << "key " << key << " x " << x << " " << At(x, kHeight / 2);
        }
    }
}

TEST_F(Preview, RootOutlivesTheClosedPart) {
    auto model = std::make_shared<TestModel>();
    model->root.AddChild(BoxGroup(L"mold", 0, 0, 4.0));
    std::shared_ptr<const pkg::Group> root = PreviewRootOf(model);
    std::weak_ptr<TestModel> watch = model;
    model.reset();
    ASSERT_FALSE(watch.expired());
    ShowModel(std::move(root), {"mold"});
    EXPECT_FALSE(Near(Centre(), kWhite, 10)) << Centre();
    view->ModelRoot.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(PreviewRootOf(nullptr), nullptr);
}

TEST_F(Preview, LogoInTheTopRightCorner) {
    view->BackgroundType = 1;
    RenderFrame();
    const int left = kWidth - 64;
    EXPECT_TRUE(Near(At(left + 32, 32), Rgb{255, 117, 25}, 1)) << At(left + 32, 32);
    // Upright: the pin-1 mark lies at the body's top-left, the body colour opposite.
    EXPECT_TRUE(Near(At(left + 18, 18), Rgb{230, 230, 235}, 1)) << At(left + 18, 18);
    EXPECT_TRUE(Near(At(left + 45, 45), Rgb{40, 44, 52}, 1)) << At(left + 45, 45);
    // Transparent corners of the picture, and everything outside it, show the background.
    EXPECT_TRUE(Near(At(left + 1, 1), kWhite, 0));
    EXPECT_TRUE(Near(At(left - 1, 32), kWhite, 0));
    EXPECT_TRUE(Near(At(left + 32, 64), kWhite, 0));
}

TEST(PngResource, LoadResults) {
    wxImage image(2, 3);
    EXPECT_EQ(LoadPngResource(nullptr, 0, image), kPngResourceNotFound);
    EXPECT_EQ(LoadPngResource(resources::kLogoPng, 0, image), kPngResourceNotFound);
    const unsigned char garbage[] = {'n', 'o', 't', ' ', 'p', 'n', 'g'};
    EXPECT_EQ(LoadPngResource(garbage, sizeof garbage, image), kPngNotDecoded);
    EXPECT_EQ(LoadPngResource(resources::kLogoPng, resources::kLogoPngSize / 2, image),
              kPngNotDecoded);
    EXPECT_EQ(image.GetWidth(), 2);

    ASSERT_EQ(LoadPngResource(resources::kLogoPng, resources::kLogoPngSize, image), kPngLoaded);
    ASSERT_EQ(image.GetSize(), wxSize(64, 64));
    ASSERT_TRUE(image.HasAlpha());
    // Premultiplied: a half-transparent frame pixel (40, 44, 52, 128), a clear corner,
    // an opaque pixel kept.
    EXPECT_EQ(image.GetAlpha(12, 30), 128);
    EXPECT_EQ(image.GetRed(12, 30), 40 * 128 / 255);
    EXPECT_EQ(image.GetGreen(12, 30), 44 * 128 / 255);
    EXPECT_EQ(image.GetBlue(12, 30), 52 * 128 / 255);
    EXPECT_EQ(image.GetAlpha(0, 0), 0);
    EXPECT_EQ(image.GetRed(0, 0) + image.GetGreen(0, 0) + image.GetBlue(0, 0), 0);
    EXPECT_EQ(image.GetRed(32, 32), 255);
    EXPECT_EQ(image.GetGreen(32, 32), 117);
}

TEST_F(Preview, RightDragZoomsAndRepaints) {
    view->MouseMode = kMouseModeThreeButton;
    const wxPoint start = PointerAt(150, 100);
    const int frames = view->frames;
    ASSERT_TRUE(sim.MouseDown(wxMOUSE_BTN_RIGHT));
    // A quarter of the shorter side (200 px) to the left: k = 0.5, the distance doubles.
    ASSERT_TRUE(sim.MouseMove(start + wxPoint(-50, 0)));
    ASSERT_TRUE(sim.MouseUp(wxMOUSE_BTN_RIGHT));
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return !view->HasCapture(); }));
    EXPECT_NEAR(view->ViewCamera().eye[2], 6.0, 1e-9);
    EXPECT_TRUE(zentrik_test::WaitUntil([&] { return view->frames > frames; }));

    // Keys act on release: X looks along +x at the same distance.
    ASSERT_TRUE(sim.Char('x'));
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return view->ViewCamera().eye[0] > 5.9; }));
    EXPECT_NEAR(view->ViewCamera().eye[0], 6.0, 1e-9);
    EXPECT_NEAR(view->ViewCamera().eye[2], 0.0, 1e-9);
}

TEST_F(Preview, CaptureLostEndsTheDrag) {
    const wxPoint start = PointerAt(150, 100);
    ASSERT_TRUE(sim.MouseDown(wxMOUSE_BTN_RIGHT));
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return view->HasCapture(); }));
    wxMouseCaptureLostEvent lost(view->GetId());
    lost.SetEventObject(view);
    view->GetEventHandler()->ProcessEvent(lost);
    ASSERT_TRUE(sim.MouseMove(start + wxPoint(-50, 0)));
    ASSERT_TRUE(sim.MouseUp(wxMOUSE_BTN_RIGHT));
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return !view->HasCapture(); }));
    EXPECT_EQ(view->ViewCamera().eye, (Vec3{0.0, 0.0, 3.0}));
}

}  // namespace
