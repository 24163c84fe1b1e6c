// A picture view's image as bytes in a stream: written into the prepared
// pages' picture cache and read back from it (or from a data field). The
// image kind is recognised from the bytes themselves, never taken on trust
// from a stored class name.
#include "rpClass.h"

#include "rpDBSet.h"
#include "rpPictureKind.h"

#include <QBuffer>
#include <QIODevice>
#include <cerrno>

void TrpPictureView::SaveImageToStream(QIODevice& Stream) const
{
    if (Stream.write(FPictureBytes) != FPictureBytes.size())
        throw TrpStorageError(QStringLiteral("Cannot write the temporary file"));
}

int TrpPictureView::LoadPictureFromStream(QIODevice& Stream, bool ResetStreamPos)
{
    if (ResetStreamPos)
        Stream.seek(0);
    rpSkipPictureHeader(Stream);
    const TrpPictureKind kind = rpPictureKindAt(Stream);
    if (kind == TrpPictureKind::None) {
        ClearPicture();
        return EINVAL;
    }
    SetPicture(rpPictureClassName(kind), Stream.readAll());
    return 0;
}

void TrpPictureView::GetData()
{
    TrpView::GetData();
    TrpDataSet* data = DataSet();
    if (!data || DataField().isEmpty() || !data->IsBlobField(DataField()))
        return;
    QBuffer blob;
    blob.open(QIODevice::ReadWrite);
    data->AssignBlobTo(DataField(), &blob);
    // An empty field is no picture; bytes of no known image kind clear the
    // picture as well, so a row never shows the picture of the row before.
    if (blob.size() == 0)
        ClearPicture();
    else
        LoadPictureFromStream(blob, true);
}
