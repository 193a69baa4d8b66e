// The server item: what a container sees of an embedded document. It stores
// the document's text into the container's storage, reports the object's size
// and draws the picture a container shows while the object is not active.
//
// The size is fixed: 3000 x 3000 HIMETRIC units (hundredths of a millimetre),
// whatever the text. The picture is deliberately empty.
#pragma once

#include <QPointer>
#include <QSize>

class CPraxDoc;
class QIODevice;
class QPainter;

// Drawing aspects a container may ask for; only the content has a size here.
enum DrawAspect : unsigned {
    DVASPECT_CONTENT = 1,
    DVASPECT_THUMBNAIL = 2,
    DVASPECT_ICON = 4,
    DVASPECT_DOCPRINT = 8,
};

class CPraxSrvrItem
{
public:
    static constexpr int kExtent = 3000; // HIMETRIC, both directions

    // `linked`: the item stands for a link to the document rather than for
    // the document embedded in the container.
    explicit CPraxSrvrItem(CPraxDoc *doc, bool linked = false);

    CPraxDoc *GetDocument() const { return m_doc; }
    bool IsLinkedItem() const { return m_linked; }

    // The embedded item stores or loads the document's text as raw bytes; a
    // linked item keeps its data in the linked file and serialises nothing.
    bool Serialize(QIODevice &archive, bool storing);

    // For the content aspect: 3000 x 3000 and true. Other aspects have no
    // size of their own here: false, `size` untouched.
    bool OnGetExtent(unsigned aspect, QSize &size) const;

    // Maps the painter's window to 3000 x 3000 units over `size` pixels and
    // draws nothing: the container's picture of the object is empty.
    bool OnDraw(QPainter *painter, const QSize &size) const;

private:
    QPointer<CPraxDoc> m_doc;
    bool m_linked;
};
