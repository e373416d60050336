// Editing commands into which key tables translate keys. 0..75 are the named commands in the alphabetical
// order of their names (the library messages 33768..33843); a few special results follow from 249; 256 and
// above are free for user-defined commands.
#pragma once
#include <cstdint>

using TOvcCommandCode = std::uint16_t;

constexpr TOvcCommandCode ccNone = 0;
constexpr TOvcCommandCode ccBack = 1;
constexpr TOvcCommandCode ccBotOfPage = 2;
constexpr TOvcCommandCode ccBotRightCell = 3;
constexpr TOvcCommandCode ccCompleteDate = 4;
constexpr TOvcCommandCode ccCompleteTime = 5;
constexpr TOvcCommandCode ccCopy = 6;
constexpr TOvcCommandCode ccCtrlChar = 7;
constexpr TOvcCommandCode ccCut = 8;
constexpr TOvcCommandCode ccDec = 9;
constexpr TOvcCommandCode ccDel = 10;
constexpr TOvcCommandCode ccDelBol = 11;
constexpr TOvcCommandCode ccDelEol = 12;
constexpr TOvcCommandCode ccDelLine = 13;
constexpr TOvcCommandCode ccDelWord = 14;
constexpr TOvcCommandCode ccDown = 15;
constexpr TOvcCommandCode ccEnd = 16;
constexpr TOvcCommandCode ccExtendDown = 17;
constexpr TOvcCommandCode ccExtendEnd = 18;
constexpr TOvcCommandCode ccExtendHome = 19;
constexpr TOvcCommandCode ccExtendLeft = 20;
constexpr TOvcCommandCode ccExtendPgDn = 21;
constexpr TOvcCommandCode ccExtendPgUp = 22;
constexpr TOvcCommandCode ccExtendRight = 23;
constexpr TOvcCommandCode ccExtendUp = 24;
constexpr TOvcCommandCode ccExtBotOfPage = 25;
constexpr TOvcCommandCode ccExtFirstPage = 26;
constexpr TOvcCommandCode ccExtLastPage = 27;
constexpr TOvcCommandCode ccExtTopOfPage = 28;
constexpr TOvcCommandCode ccExtWordLeft = 29;
constexpr TOvcCommandCode ccExtWordRight = 30;
constexpr TOvcCommandCode ccFirstPage = 31;
constexpr TOvcCommandCode ccGotoMarker0 = 32; // .. ccGotoMarker0 + 9
constexpr TOvcCommandCode ccHome = 42;
constexpr TOvcCommandCode ccInc = 43;
constexpr TOvcCommandCode ccIns = 44;
constexpr TOvcCommandCode ccLastPage = 45;
constexpr TOvcCommandCode ccLeft = 46;
constexpr TOvcCommandCode ccNewLine = 47;
constexpr TOvcCommandCode ccNextPage = 48;
constexpr TOvcCommandCode ccPageLeft = 49;
constexpr TOvcCommandCode ccPageRight = 50;
constexpr TOvcCommandCode ccPaste = 51;
constexpr TOvcCommandCode ccPrevPage = 52;
constexpr TOvcCommandCode ccRedo = 53;
constexpr TOvcCommandCode ccRestore = 54;
constexpr TOvcCommandCode ccRight = 55;
constexpr TOvcCommandCode ccScrollDown = 56;
constexpr TOvcCommandCode ccScrollUp = 57;
constexpr TOvcCommandCode ccSetMarker0 = 58; // .. ccSetMarker0 + 9
constexpr TOvcCommandCode ccTab = 68;
constexpr TOvcCommandCode ccTableEdit = 69;
constexpr TOvcCommandCode ccTopLeftCell = 70;
constexpr TOvcCommandCode ccTopOfPage = 71;
constexpr TOvcCommandCode ccUndo = 72;
constexpr TOvcCommandCode ccUp = 73;
constexpr TOvcCommandCode ccWordLeft = 74;
constexpr TOvcCommandCode ccWordRight = 75;
constexpr TOvcCommandCode ccLastNamedCommand = ccWordRight;

// A typed character handed to the edit engine (produced by the fields, never by key tables).
constexpr TOvcCommandCode ccCharacter = 249;
// The key is no command and is passed on.
constexpr TOvcCommandCode ccNoCommand = 252;
// The second key of a two-key sequence matched nothing.
constexpr TOvcCommandCode ccDiscard = 254;
// The first key of a two-key sequence was accepted; the next key completes it.
constexpr TOvcCommandCode ccSequencePending = 255;
// The first user-defined command.
constexpr TOvcCommandCode ccUserFirst = 256;
