#pragma once

#include <memory>

#include <wx/glcanvas.h>

#include "app/camera.h"

// A child window with its own OpenGL context (fixed-function pipeline), an orthographic
// camera and the mouse and keyboard control of that camera. Each frame sets up the camera,
// the depth test and one light, then calls DrawScene, which subclasses fill.
class OpenGLView : public wxGLCanvas {
public:
    explicit OpenGLView(wxWindow* parent, wxWindowID id = wxID_ANY,
                        const wxPoint& pos = wxDefaultPosition,
                        const wxSize& size = wxDefaultSize);
    ~OpenGLView() override;

    // Makes the view's context current, creating it on first use. False while the canvas
    // is not shown on screen, or when no context can be made (the view then stays empty).
    bool MakeCurrent();
    // One frame into the back buffer; the context must be current. Nothing is drawn while
    // the client area has no width or height.
    void Render();

    const Camera& ViewCamera() const { return camera_; }

    // Set by the main frame from the program settings; no repaint follows.
    int MouseMode = kMouseModeThreeButton;
    int OneButtonOperation = kOneButtonRotation3D;

protected:
    virtual void DrawScene() {}

    // The client size in framebuffer pixels.
    wxSize FramebufferSize() const;

private:
    void OnPaint(wxPaintEvent& event);
    void OnLButtonDown(wxMouseEvent& event);
    void OnLButtonUp(wxMouseEvent& event);
    void OnMButtonDown(wxMouseEvent& event);
    void OnMButtonUp(wxMouseEvent& event);
    void OnRButtonDown(wxMouseEvent& event);
    void OnRButtonUp(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnMouseCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyUp(wxKeyEvent& event);

    void ButtonDown(bool& flag, const wxMouseEvent& event);
    void ButtonUp(bool& flag);
    bool AnyButton() const { return buttons_.left || buttons_.middle || buttons_.right; }

    std::unique_ptr<wxGLContext> context_;
    bool context_failed_ = false;
    Camera camera_;
    MouseButtons buttons_;
    wxPoint last_point_;
};
