// Redirections of the layer that only the dialog tests use: another resource module in place of
// the program's own, and message boxes collected instead of shown. The program never calls them,
// so they stay out of the layer's public header.
#ifndef ZERB_PLATFORM_DETAIL_TEST_HOOKS_H
#define ZERB_PLATFORM_DETAIL_TEST_HOOKS_H

#include <functional>
#include <string>

#include "platform/win_types.h"

// Replaces the module resources are loaded from; nullptr restores the program's own.
void AfxSetResourceHandle(HINSTANCE hInstResource);

// While a sink is set, message boxes go to it instead of the screen and count as answered with
// IDOK, so a test sees the messages without a modal box.
using MessageSink = std::function<void(const std::string& text, UINT nType)>;
void AfxSetMessageSink(MessageSink sink);

#endif  // ZERB_PLATFORM_DETAIL_TEST_HOOKS_H
