// Horizontal alignment of text, as the class library names it (fields, labels, cells).
#pragma once
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
