// The private window messages of the table family. Cells send the queries to their table's window and
// expect an answer; in-place editors post the focus notices; the table posts the editing steps to itself.
#pragma once
#include "platform/windowing/messages.h"

constexpr UINT tcm_GetTableOptions = 0x4945;
constexpr UINT tcm_GetTableColor = 0x4946;
constexpr UINT tcm_GetTableFont = 0x4947; // answers a reference to the table's TFont
constexpr UINT tcm_GetLockedColumns = 0x4948;
constexpr UINT tcm_GetLockedRows = 0x4949;
constexpr UINT tcm_GetActiveColumn = 0x494A;
constexpr UINT tcm_GetActiveRow = 0x494B;
constexpr UINT tcm_CellDetached = 0x494F; // LParam: the cell leaving the table
constexpr UINT tcm_StartEditing = 0x4950;
constexpr UINT tcm_EditWithMouse = 0x4951;
constexpr UINT tcm_EditWithKey = 0x4952;
constexpr UINT tcm_EditorGotFocus = 0x4953;  // WParam: the window that lost the focus
constexpr UINT tcm_EditorLostFocus = 0x4954; // WParam: the window receiving the focus

// Bits of the tcm_GetTableOptions answer.
constexpr LRESULT tblOptHighlightActiveRow = 0x0001;
constexpr LRESULT tblOptAlwaysSet1 = 0x0002;
constexpr LRESULT tblOptNoColumnSizing = 0x0004;
constexpr LRESULT tblOptWantsTab = 0x0008;
constexpr LRESULT tblOptEnterLikeTab = 0x0010;
constexpr LRESULT tblOptAlwaysEditing = 0x0020;
constexpr LRESULT tblOptAlwaysSet6 = 0x0040;
constexpr LRESULT tblOptColumnsMovable = 0x0800;

// How an in-place editor treats a key, as the table's ClassifyKey answers it.
constexpr int tkcEditorKeeps = 0;
constexpr int tkcNavigation = 1;
constexpr int tkcTableTakes = 2;
