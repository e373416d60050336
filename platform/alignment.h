#pragma once
// Horizontal alignment of text, as the class library names it (fields, labels, cells).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
