// Messages the inspector grid posts to itself, to act once the message being handled is done.
#pragma once
#include "platform/windowing/messages.h"

constexpr UINT igm_FreeRetiredEditors = WM_USER + 0x0120; // free the editors let go of
constexpr UINT igm_ReportRefusal = WM_USER + 0x0121;      // show the message of a value refused on leaving
