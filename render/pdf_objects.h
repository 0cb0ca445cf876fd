// The objects of a PDF as Qt's PDF writer lays it out: a header, the
// numbered objects one after another, one cross-reference table and a
// trailer. What completes a written PDF (its text layer, its tags) reads
// the file into its objects, changes or adds some, and writes it anew.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <map>
#include <optional>

namespace mirotabe {

struct PdfObjects {
  // What stands before the first object.
  QByteArray header;
  // Each object from "N 0 obj" to its end, by number.
  std::map<int, QByteArray> objects;
  // From "trailer" up to "startxref".
  QByteArray trailer;

  // The objects of `pdf`; none when its cross-reference table cannot be
  // read.
  static std::optional<PdfObjects> Read(const QByteArray& pdf);
  // The file: the objects in order, a cross-reference table of their own
  // and the trailer, its /Size counting the objects added.
  QByteArray Written() const;
  // The number an object added next takes.
  int NextNumber() const { return objects.empty() ? 1 : objects.rbegin()->first + 1; }
};

// The number of the object that `key` refers to in `object` ("/key N 0 R").
std::optional<int> ReferenceIn(const QByteArray& object, const char* key);

// Object `number`: a stream of `content`, `entries` added to its dictionary
// before its length.
QByteArray StreamObject(int number, QByteArrayView content, QByteArrayView entries = {});

}  // namespace mirotabe
