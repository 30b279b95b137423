#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

class CXDBSession;
class CXImage;

// The bytes of one binary column of one row. An empty table or column or an ID of 0 leaves
// the bytes untouched; a failure leaves them empty and reports nothing.
void ReadBinaryColumn(const QString& table, const QString& column, int id, QByteArray& bytes);

// Writes the bytes (a null array: NULL) into the column of the row, on the session or on a
// connection of its own. A missing row is a failure. False after a reported failure
// ("保存二进制数据").
bool WriteBinaryColumn(CXDBSession* session, const QString& table, const QString& column, int id,
                       const QByteArray& bytes);

// Reloads the image from its TB_PHOTO row, or, when it has none, from the PNG resource of
// the id (none for 0). A failed read is reported ("读取 LOGO").
void LoadFromDB(CXImage& image, int resourceId);

// Shrinks the image to the preference ImgSizeMax (KB) when it is set.
void ShrinkToSizePreference(CXImage& image);

// Stores the image as a new TB_PHOTO row of the owner (module and person; 0 and 0 for a
// logo), shrunk to the pixel limit, or without one to the preference ImgSizeMax (KB),
// optionally with pure white made transparent. The new photo ID, also kept by the image;
// 0 after a reported failure ("保存图片").
int SaveToDB(CXImage& image, int mduId, int personId, bool bWhiteToTransparent, int sizeLimit);

// Deletes the logo rows other than the preferences' small and large logo (StdLogoID,
// BigLogoID). Failures are reported ("删除旧图片").
void DeleteUnusedLogos();
