// Tags for the PDFs the browser writes, as the desktop's have them: marked
// content in the pages and a structure tree in reading order, so that a
// screen reader reads the text as paragraphs and passes over what is drawn
// around it. Each column's cells are a part of a paragraph (/P with an
// MCID), a paragraph going on across columns and pages; the ruling, the
// readings of ruby and the page number are artifacts; a character the font
// lacks is a part of its own whose ActualText is the character, since a
// reader that collects a paragraph's text by its MCIDs may stop at the end
// of marked content nested in it (Poppler does).
import { PDFName, PDFNumber } from 'pdf-lib';

// `text` as a PDF text string in hex: UTF-16BE after its byte-order mark.
export const utf16Hex = (text) => 'FEFF' + Array.from({ length: text.length },
  (_, i) => text.charCodeAt(i).toString(16).toUpperCase().padStart(4, '0')).join('');

// `operators` marked as no part of the text; `kind` the artifact's type.
export const artifact = (operators, kind = '') =>
  (operators ? `${kind ? `/Artifact <</Type /${kind}>> BDC` : '/Artifact BMC'}\n${operators}\nEMC` : '');

export class PdfTags {
  constructor() {
    // Each paragraph's parts, { page, mcid }, and the paragraph of each
    // MCID of each page (the parent tree).
    this.paragraphs = [];
    this.parents = [];
    this.pages = [];
  }

  // The marks that follow are on page `ref`.
  startPage(ref) {
    this.pages.push(ref);
    this.parents.push([]);
    this.mcid = 0;
    this.open = false;
  }

  // The operators that end the column before, if one is open, and begin
  // one, a new paragraph where `starts`.
  column(starts) {
    const end = this.endColumn();
    if (starts || this.paragraphs.length === 0) this.paragraphs.push([]);
    this.open = true;
    return `${end ? `${end} ` : ''}/P <</MCID ${this.part()}>> BDC`;
  }

  endColumn() {
    if (!this.open) return '';
    this.open = false;
    return 'EMC';
  }

  // `operators`, glyphs that stand for `text` but cannot tell it.
  replaced(text, operators) {
    const actual = `/ActualText <${utf16Hex(text)}>`;
    if (!this.open) return `/Span <<${actual}>> BDC ${operators} EMC`;
    return `EMC /Span <</MCID ${this.part()} ${actual}>> BDC ${operators} EMC /P <</MCID ${this.part()}>> BDC`;
  }

  // The page's next MCID, given to a part of the last paragraph.
  part() {
    const n = this.paragraphs.length - 1;
    this.paragraphs[n].push({ page: this.pages.length - 1, mcid: this.mcid });
    this.parents[this.parents.length - 1].push(n);
    return this.mcid++;
  }

  // Writes the structure tree into `doc`, whose pages are those started.
  write(doc) {
    const { context, catalog } = doc;
    const root = context.nextRef();
    const documentRef = context.nextRef();
    const elements = this.paragraphs.map(() => context.nextRef());
    this.paragraphs.forEach((parts, n) => {
      const page = parts[0].page;
      context.assign(elements[n], context.obj({
        Type: 'StructElem', S: 'P', P: documentRef, Pg: this.pages[page],
        K: parts.map((part) => (part.page === page ? part.mcid
          : context.obj({ Type: 'MCR', Pg: this.pages[part.page], MCID: part.mcid }))),
      }));
    });
    context.assign(documentRef, context.obj({ Type: 'StructElem', S: 'Document', P: root, K: elements }));
    const nums = this.parents.flatMap((list, page) => [page, list.map((n) => elements[n])]);
    context.assign(root, context.obj({
      Type: 'StructTreeRoot', K: documentRef, ParentTree: context.register(context.obj({ Nums: nums })),
      ParentTreeNextKey: this.pages.length,
    }));
    catalog.set(PDFName.of('StructTreeRoot'), root);
    catalog.set(PDFName.of('MarkInfo'), context.obj({ Marked: true }));
    this.pages.forEach((ref, n) => context.lookup(ref).set(PDFName.of('StructParents'), PDFNumber.of(n)));
  }
}
