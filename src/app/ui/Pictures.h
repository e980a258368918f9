#pragma once
// The program's pictures, drawn in code so that no image plug-in or file is needed at run time.
#include <QIcon>
#include <QList>
#include <QPixmap>

// Pictures of the menu tree, by the index used in Menu.dat.
enum MenuPicture {
    PicFolder = 0,
    PicDocument = 1,
    PicAttachment = 2,
    PicHelp = 3,
    PicTools = 4,
    PicDocumentList = 5,
    PicSpouseAttachment = 6,
};
const QList<QIcon>& MenuImageList();

QPixmap LogoPicture(int height);   // the program's emblem: a return form with a pen
QPixmap BannerTitlePicture();      // emblem with the program name, left of the banner
QPixmap BannerDecorationPicture(); // a calendar page for the tax year, right of the banner
QPixmap MessagePicture(int size);  // the information box's picture
