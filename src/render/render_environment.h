#pragma once
// Process-wide preparation of the rendering engine. The engine reads its
// environment once, when the first page is created, so this runs before that.

namespace velmora {

// For programs that render pages: call before the QApplication object exists.
// Sets the shared OpenGL contexts the engine needs and everything that
// PrepareRenderEnvironment sets.
void PrepareRenderingBeforeApplication();

// Idempotent; called by RenderProfile before it creates the engine's profile.
// - the engine's sandbox is turned off only when the program runs as root
//   (the sandbox cannot start there);
// - with the off-screen platform (headless runs) the GPU is not used;
// - the program's local page scheme is registered with the engine.
void PrepareRenderEnvironment();

} // namespace velmora
