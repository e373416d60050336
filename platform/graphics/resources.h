// Bitmaps and cursors loaded by name, as the controls load them from the program's resources. A picture is
// found among those registered by name (drawn by code of this project) or, failing that, in the Qt resources
// as ":/bitmaps/<NAME>.png" / ".bmp" and ":/cursors/<NAME>.png". Names ignore case. An unknown name raises
// EResNotFound "Resource <NAME> not found".
#pragma once
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"
#include <QCursor>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>

TALLYROOK_EXCEPTION(EResNotFound, Exception)

// Registers a picture under Name; Draw makes it when it is first loaded. A later registration replaces it.
void RegisterBitmapResource(const QString &Name, std::function<QImage()> Draw);
void RegisterCursorResource(const QString &Name, std::function<QCursor()> Make);

// The picture named Name.
QImage LoadBitmapImage(const QString &Name);
// Loads the picture named Name into Bitmap (the class library's TBitmap.LoadFromResourceName).
void LoadBitmapResource(TBitmap *Bitmap, const QString &Name);
std::unique_ptr<TBitmap> LoadBitmap(const QString &Name);
// The cursor named Name. "VRCURSORHANDPOINT" is the pointing hand.
QCursor LoadCursor(const QString &Name);
