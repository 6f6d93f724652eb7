#include "app/opengl_view.h"

#include <GL/gl.h>

#include <wx/dcclient.h>

namespace {

// RGBA, double buffer, 24 depth bits and a stencil bit: Mesa offers no 32-bit depth
// buffer, and asking for one finds no visual at all.
wxGLAttributes DisplayAttributes() {
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(24).Stencil(1).EndList();
    return attributes;
}

}  // namespace

OpenGLView::OpenGLView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxGLCanvas(parent, DisplayAttributes(), id, pos, size, wxFULL_REPAINT_ON_RESIZE) {
    Bind(wxEVT_PAINT, &OpenGLView::OnPaint, this);
    Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent&) {});  // the frame covers everything
    Bind(wxEVT_LEFT_DOWN, &OpenGLView::OnLButtonDown, this);
    Bind(wxEVT_LEFT_DCLICK, &OpenGLView::OnLButtonDown, this);
    Bind(wxEVT_LEFT_UP, &OpenGLView::OnLButtonUp, this);
    Bind(wxEVT_MIDDLE_DOWN, &OpenGLView::OnMButtonDown, this);
    Bind(wxEVT_MIDDLE_DCLICK, &OpenGLView::OnMButtonDown, this);
    Bind(wxEVT_MIDDLE_UP, &OpenGLView::OnMButtonUp, this);
    Bind(wxEVT_RIGHT_DOWN, &OpenGLView::OnRButtonDown, this);
    Bind(wxEVT_RIGHT_DCLICK, &OpenGLView::OnRButtonDown, this);
    Bind(wxEVT_RIGHT_UP, &OpenGLView::OnRButtonUp, this);
    Bind(wxEVT_MOTION, &OpenGLView::OnMouseMove, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &OpenGLView::OnMouseCaptureLost, this);
    Bind(wxEVT_KEY_UP, &OpenGLView::OnKeyUp, this);
}

OpenGLView::~OpenGLView() {
    if (HasCapture()) {
        ReleaseMouse();
    }
}

bool OpenGLView::MakeCurrent() {
    // A GLX context can be made current only on a window that is mapped.
    if (!IsShownOnScreen()) {
        return false;
    }
    if (!context_ && !context_failed_) {
        auto context = std::make_unique<wxGLContext>(this);
        if (context->IsOK()) {
            context_ = std::move(context);
        } else {
            context_failed_ = true;
        }
    }
    return context_ && SetCurrent(*context_);
}

wxSize OpenGLView::FramebufferSize() const {
    const double scale = GetContentScaleFactor();
    const wxSize client = GetClientSize();
    return wxSize(static_cast<int>(client.x * scale), static_cast<int>(client.y * scale));
}

void OpenGLView::Render() {
    // The projection follows the client size on every frame: a resize may come before the
    // context can be made current.
    const wxSize size = FramebufferSize();
    double half_width = 0.0;
    double half_height = 0.0;
    if (!OrthoExtents(size.x, size.y, half_width, half_height)) {
        return;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half_width, half_width, -half_height, half_height, -100.0, 100.0);
    glViewport(0, 0, size.x, size.y);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Matrix4 view;
    if (MakeLookAtMatrix(camera_.eye, camera_.centre, camera_.up, view)) {
        glMultMatrixd(view.data());
    }

    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The light is placed in eye space.
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat ambient[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat diffuse[] = {0.7f, 0.7f, 0.7f, 1.0f};
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[] = {15.0f, -15.0f, -30.0f, 1.0f};
    const GLfloat direction[] = {-15.0f, -15.0f, 30.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180.0f);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    glPopMatrix();

    DrawScene();
    glFlush();
}

void OpenGLView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (!MakeCurrent()) {
        return;
    }
    Render();
    SwapBuffers();
}

void OpenGLView::ButtonDown(bool& flag, const wxMouseEvent& event) {
    SetFocus();
    if (!AnyButton()) {
        if (!HasCapture()) {
            CaptureMouse();
        }
        last_point_ = event.GetPosition();
    }
    flag = true;
}

void OpenGLView::ButtonUp(bool& flag) {
    flag = false;
    if (!AnyButton() && HasCapture()) {
        ReleaseMouse();
    }
}

void OpenGLView::OnLButtonDown(wxMouseEvent& event) { ButtonDown(buttons_.left, event); }
void OpenGLView::OnLButtonUp(wxMouseEvent&) { ButtonUp(buttons_.left); }
void OpenGLView::OnMButtonDown(wxMouseEvent& event) { ButtonDown(buttons_.middle, event); }
void OpenGLView::OnMButtonUp(wxMouseEvent&) { ButtonUp(buttons_.middle); }
void OpenGLView::OnRButtonDown(wxMouseEvent& event) { ButtonDown(buttons_.right, event); }
void OpenGLView::OnRButtonUp(wxMouseEvent&) { ButtonUp(buttons_.right); }

void OpenGLView::OnMouseCaptureLost(wxMouseCaptureLostEvent&) {
    // The system took the mouse away: no button-up will follow.
    buttons_ = MouseButtons{};
}

void OpenGLView::OnMouseMove(wxMouseEvent& event) {
    if (!AnyButton()) {
        event.Skip();
        return;
    }
    const wxSize client = GetClientSize();
    double dx = 0.0;
    double dy = 0.0;
    const bool has_area = DragFraction(event.GetX(), event.GetY(), last_point_.x,
                                       last_point_.y, client.x, client.y, dx, dy);
    last_point_ = event.GetPosition();
    const CameraOperation operation =
        ChooseCameraOperation(MouseMode, OneButtonOperation, buttons_, event.ShiftDown());
    if (operation == CameraOperation::None || !has_area) {
        SetFocus();
        return;
    }
    TransformCamera(camera_, DragTransform(operation, dx, dy));
    Refresh(true);
    SetFocus();
    event.Skip();
}

void OpenGLView::OnKeyUp(wxKeyEvent& event) {
    if (ApplyCameraKey(camera_, event.GetKeyCode(), event.ShiftDown())) {
        Refresh(true);
    } else {
        event.Skip();
    }
}
