// Picture views: an image kept in its file form, shared through the picture cache when printed.
#pragma once

#include "rpPictureCache.h"
#include "rpView.h"

#include <QByteArray>
#include <QRect>
#include <QString>

class QIODevice;

class TrpPictureView : public TrpView, public TrpCachedPicture {
    RP_CLASS_INFO
    RP_FIELD(bool, Stretched, true)
    RP_FIELD(bool, KeepAspectRatio, true)
    RP_FIELD(bool, Center, false)
    RP_FIELD(bool, AutoSize, false)
    RP_FIELD(bool, Transparent, false)
    RP_FIELD(TrpColor, TransparentColor, clWhite)
    // Spelled with "Hight" in stored files.
    RP_FIELD(bool, HightQuality, false)
    RP_FIELD(QString, FileLink, QString())
public:
    void Draw(
        QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY) override;
    TrpPictureView() { SetComponentStyle(ComponentStyle() & ~TrpComponentStyle(csDefaultDiff)); }

    // The image: its kind ("TPNGObject", "TJPEGImage", "TBitmap",
    // "TMetafile") and the image file bytes. Empty when there is none.
    const QString& PictureClass() const { return FPictureClass; }
    const QByteArray& PictureBytes() const { return FPictureBytes; }
    // Marks the picture changed.
    void SetPicture(const QString& Kind, const QByteArray& Bytes);
    void ClearPicture() override { SetPicture(QString(), QByteArray()); }
    // Set by every change of the picture; cleared once the picture has been
    // handed to the picture cache.
    bool PictureChanged() const { return FPictureChanged; }
    // Number of the picture in the prepared pages' picture cache (from 1;
    // 0 for none). Not stored.
    // A number the cache gave reads 0 once that cache has been cleared, so
    // it can never name another picture.
    static int ImageIndexDefault() { return 0; } // also the stored form's default
    int ImageIndex() const override { return IndexExpired() ? 0 : FImageIndex; }
    void SetImageIndex(int Value) override
    {
        FImageIndex = Value;
        FIndexLife.reset();
        FIndexFromCache = false;
    }
    void SetCachedIndex(int Value, std::weak_ptr<const void> CacheLife) override
    {
        FImageIndex = Value;
        FIndexLife = std::move(CacheLife);
        FIndexFromCache = true;
    }
    bool HasImage() const override { return !FPictureBytes.isEmpty(); }
    void SaveImageToStream(QIODevice& Stream) const override;
    // Skips a leading data-field header, recognises the image kind from the
    // bytes and takes the rest of the stream as the image.
    int LoadPictureFromStream(QIODevice& Stream, bool ResetStreamPos) override;
    // Hands a changed picture, or one whose cache number has expired, to
    // the prepared pages' picture cache first.
    QString Diff(const TrpComponent* AComponent) override;
    // A picture taken from a data field: the field's BLOB, read as an image.
    void GetData() override;
    // Picture.Data: a length byte and the kind's name, then the file bytes.
    QByteArray PictureData() const;
    // False when the data is not of that form (the picture is cleared).
    bool SetPictureData(const QByteArray& Data);

    QByteArray PropData() const override;
    void SetPropData(const QByteArray& Data) override;

    // Where the picture of that pixel size goes in the device rectangle of
    // the last Draw.
    QRect TargetRect(int PictureWidth, int PictureHeight) const;

private:
    QString FPictureClass;
    QByteArray FPictureBytes;
    bool IndexExpired() const { return FIndexFromCache && FIndexLife.expired(); }

    int FImageIndex = ImageIndexDefault();
    std::weak_ptr<const void> FIndexLife;
    bool FIndexFromCache = false;
    bool FPictureChanged = false;
};
