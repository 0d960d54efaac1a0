#include "tools/mksample/help_topics.h"

namespace velk::mksample {

namespace {

struct Words {
    const char* name;      // collection as the program names it
    const char* document;  // one document of it
    const char* number;    // how its numbers are written
};

Words WordsOf(Collection c) {
    switch (c) {
        case Collection::Tovrin:
            return {"Tovrin", "trademark", "a registration number such as 1234567"};
        case Collection::Assign:
            return {"Assignments", "assignment record", "reel and frame, such as 1234/0567"};
        default:
            return {"Quorvel", "patent", "a patent number such as 5123456"};
    }
}

std::string PrintTopic(Collection c) {
    std::string t =
        "@topic 4 Printing a document\n"
        "<h1>Printing a document</h1>\n"
        "<p>The <b>Print</b> command of the File menu or the toolbar prints the document shown in the "
        "active viewer on the current printer.</p>\n";
    if (c == Collection::Tovrin) {
        t += "<p>Choose <b>Entire Document</b> for every page, or <b>Page</b> and a page number from the "
             "list. <b>Print</b> starts printing; <b>Cancel</b> closes the dialog.</p>\n";
    } else {
        t += "<p>Choose which pages to print:</p>\n<ul>\n"
             "<li><b>Entire Document</b>: every page.</li>\n"
             "<li><b>First Page Only</b>, or <b>All Pages EXCEPT the first page</b>.</li>\n"
             "<li><b>Page</b>: one page chosen from the list; the label shows the page count.</li>\n"
             "<li><b>Pages</b> ... <b>thru</b> ...: a range of pages.</li>\n"
             "<li><b>Subsection</b>: tick the sections to print (Abstract, Biblio, Claims, Description, "
             "Drawings, Certificate of Corrections, Reexaminations).</li>\n</ul>\n"
             "<p>The same dialog, captioned <b>Batch Print</b>, asks which pages to print for every "
             "document of the To Print list when a batch print starts; there only the whole-document, "
             "first-page and subsection choices are offered.</p>\n";
        if (c == Collection::Assign)
            t += "<p>The <b>Print</b> button of the toolbar opens a shorter dialog instead, with only "
                 "<b>Entire Document</b> and <b>Page</b>.</p>\n";
    }
    t += "<p>While pages print, a progress window shows the document and page; <b>Cancel</b> there stops "
         "after the page being printed. Documents that could not be printed stay on the Not "
         "Printed/Exported list.</p>\n"
         "<p><b>Printer</b> at the top of the print dialogs lists the computer's printers and <b>Save "
         "as PDF</b>; the printer chosen there is used for the rest of the session, until another is "
         "chosen (<b>Printer Setup</b> still sets up the printer itself). Without any printer, <b>Save "
         "as PDF</b> is the choice.</p>\n"
         "<p><b>Preview</b> in the print dialogs, and <b>Print Preview</b> in the File menu (which opens "
         "the print dialog with the preview of its first choice), show page by page what the choice "
         "would print, on the paper chosen under Page Setup; <b>Print</b> there prints the same pages.</p>\n"
         "<p><b>Save as PDF…</b> in the File menu opens the same dialog for the shown document; "
         "<b>Save</b> writes the chosen pages into one PDF file. The pages go in as they are stored "
         "(black and white, at their own size and resolution), so the file is small and loses "
         "nothing; the printer is not used.</p>\n"
         "<p>On a computer without a printer, a print is saved as a PDF file the same way: a Save dialog "
         "asks where, "
         "proposing the document number as the name (for example <b>4224321.pdf</b>), in the export "
         "folder or your documents folder; an existing file is replaced only when you agree. A batch "
         "print asks once for a folder and writes one PDF per document there.</p>\n"
         "<p>When printing ends, one message tells how many documents and pages were printed, which "
         "were skipped or failed and why, and where the output went; when it went to PDF files, "
         "<b>Open Folder</b> shows their folder.</p>\n"
         "<p>See also <a href=\"topic:9\">Batch print and export</a>.</p>\n";
    return t;
}

std::string ExportTopic(Collection c) {
    std::string t =
        "@topic 5 Exporting a document\n"
        "<h1>Exporting a document</h1>\n"
        "<p>The <b>Export</b> command writes pages of the document shown in the active viewer as image "
        "files, one file per page, into a folder named after the document number. The files are named "
        "<tt>Page0001</tt>, <tt>Page0002</tt> and so on, with the extension of the format.</p>\n";
    if (c == Collection::Quorvel)
        t += "<p>Choose the pages as in the print dialog: the entire document, the first page only, all "
             "pages except the first, one page, a range of pages, or subsections.</p>\n";
    else
        t += "<p>Choose <b>Entire Document</b>, or <b>Page</b> and a page number from the list.</p>\n";
    t += "<p>Choose a format: <b>TIFF G4</b>, <b>TIFF G3</b>, <b>TIFF Uncompressed</b>, <b>PCX</b>, "
         "<b>BMP</b> or <b>GIF</b>, each page a file of its own in a folder named after the document; "
         "or <b>PDF (one file per document)</b> or <b>TIFF G4 (one file per document)</b>, all chosen "
         "pages in one file named after the document, its pages stored exactly as they are on the "
         "disc. One of them must be selected. <b>Export</b> then asks for the "
         "destination: a folder in an open installation (it starts in the folder chosen last; type a "
         "name and press <b>New Folder</b> to make one), one of the permitted drives in a restricted "
         "one (the installation's export folder when it is on that drive, else the drive itself).</p>\n"
         "<p>Before each page is written the free space of the destination is checked; a file that "
         "already exists is only replaced when you agree (answering <b>No</b> keeps it, and the page "
         "counts as done). A progress window shows the page and the approximate time left; "
         "<b>Cancel</b> stops after the current page, and a document whose last page is written "
         "stays written.</p>\n"
         "<p>When the export ends, one message tells how many documents and pages were written, what "
         "was skipped and why, what failed, and where the files went; <b>Open Folder</b> shows that "
         "folder. A destination that takes no files (read-only, full) is reported once and ends the "
         "export.</p>\n";
    return t;
}

}  // namespace

std::string HelpFileText(Collection c) {
    const Words w = WordsOf(c);
    const std::string name = w.name, doc = w.document;
    std::string t =
        "velk-help 1\n"
        "Help topics for the " +
        name +
        " collection. Each topic begins with a line\n"
        "\"@topic NUMBER TITLE\"; the program opens topics by these numbers. See velk(1).\n"
        "\n"
        "@topic 0 Contents\n"
        "<h1>" +
        name +
        " help</h1>\n"
        "<p>Velk shows the page images of the " +
        name + " collection, " + doc + " by " + doc +
        ", from the CD-ROM volumes of the collection.</p>\n"
        "<ul>\n"
        "<li><a href=\"topic:2\">Finding documents</a></li>\n"
        "<li><a href=\"topic:6\">Importing a list of document numbers</a></li>\n"
        "<li><a href=\"topic:3\">Viewing documents and going to a page</a></li>\n"
        "<li><a href=\"topic:21\">The document lists</a></li>\n"
        "<li><a href=\"topic:9\">Batch print and export</a></li>\n"
        "<li><a href=\"topic:4\">Printing a document</a></li>\n"
        "<li><a href=\"topic:5\">Exporting a document</a></li>\n"
        "<li><a href=\"topic:8\">Batch export</a></li>\n"
        "<li><a href=\"topic:17\">About Velk</a></li>\n"
        "</ul>\n"
        "<p>Type words in the search box at the top left to find every topic that mentions them.</p>\n"
        "\n"
        "@topic 2 Finding documents\n"
        "<h1>Finding documents</h1>\n"
        "<p>The <b>Document Finder</b> shows the " +
        name +
        " cumulative index, twenty entries at a "
        "time: each line holds a document number and the volume it is on.</p>\n"
        "<ul>\n"
        "<li>Type a number (" +
        w.number +
        ") in the box and press <b>Find</b>: the index moves to "
        "that number or the nearest one after it.</li>\n"
        "<li>The arrow buttons move through the index: to the top or the bottom, one line, or 100, "
        "1000 or 10000 entries at a time.</li>\n"
        "<li>The right arrow (or Enter, or a double-click) adds the selected entries to the Found "
        "list on the right; the left arrow removes the selected Found entries.</li>\n"
        "<li><b>Sort List in Numerical Order</b> shows the Found list sorted by number instead of in "
        "the order the entries were added.</li>\n"
        "<li><b>Import Document List</b> reads many numbers at once from a file or the clipboard "
        "(see <a href=\"topic:6\">Importing a list</a>).</li>\n"
        "</ul>\n"
        "<p><b>OK</b> closes the finder and shows the first Found document; <b>Cancel</b> closes it "
        "without showing anything.</p>\n"
        "\n"
        "@topic 3 Viewing documents and going to a page\n"
        "<h1>Viewing documents and going to a page</h1>\n"
        "<p>The <b>View Documents</b> window lists the documents of the Found list. Select one and "
        "press <b>View</b> to show it; <b>2nd View</b> shows the current document in a second viewer "
        "beside the first, so that two pages can be compared. The arrow buttons move the selection "
        "to the top or the bottom, or 100 lines up or down.</p>\n"
        "<p>The <b>Go To Page</b> dialog moves the active viewer to a page of its document: choose "
        "<b>Page</b> and a number from the list, or <b>First page/abstract</b>" +
        std::string(c == Collection::Quorvel
                        ? ", or the first page of a section: <b>Biblio</b>, <b>Drawings</b>, "
                          "<b>Description</b> or <b>Claims</b>"
                        : "") +
        ", then <b>OK</b>.</p>\n"
        "<p>If the volume that holds a document is not in the drive, the program asks for it by "
        "name.</p>\n"
        "<p>The status bar at the bottom of the main window tells the active viewer's page (<b>Page n "
        "of N</b>), " +
        std::string(c == Collection::Quorvel ? "the section of the page (front page, abstract, drawings, "
                                               "description, claims), "
                                             : "") +
        "the document's place on the Found list, the zoom and the volume. Its zoom box takes a zoom "
        "from 10 to 1600 % typed in, or <b>Fit page</b> or <b>Fit width</b>; the <b>View</b> menu has "
        "the two fits too. A fit or zoom you choose stays with that viewer as you turn pages and go "
        "from document to document; a zoom with the mouse wheel (Ctrl held) or <b>Zoom Area</b> "
        "is a zoom like a typed one. <b>Rotate Left</b> turns the page the other way. A right click "
        "on the page offers the view commands.</p>\n"
        "<p><b>View &gt; Page Strip</b> (F7) shows a thumbnail of every page of the active viewer's "
        "document beside the viewers, its number below it" +
        std::string(c == Collection::Quorvel ? ", each section's name above its first page" : "") +
        "; the page shown is framed. Click a page, or move to it with the arrow keys and press Enter, "
        "to show it. A page that cannot be read is crossed out; its tool tip says why. The strip can "
        "be dragged to either side of the window, and whether it shows and its width are kept for "
        "the next start.</p>\n"
        "<h2>Keys</h2>\n"
        "<table>\n"
        "<tr><td>Ctrl+F, Ctrl+O, Ctrl+P, Ctrl+E</td><td>Find, Import, Print, Export</td></tr>\n"
        "<tr><td>Ctrl+G</td><td>Go to a page</td></tr>\n"
        "<tr><td>Space, Shift+Space</td><td>a screen down or up, on to the next or previous page at "
        "its end (as PgDown and PgUp)</td></tr>\n"
        "<tr><td>Ctrl+Home, Ctrl+End</td><td>first and last page</td></tr>\n"
        "<tr><td>Ctrl+PgDown, Ctrl+PgUp</td><td>next and previous document</td></tr>\n"
        "<tr><td>+, -, Ctrl+0</td><td>zoom in, zoom out, zoom 100 %</td></tr>\n"
        "<tr><td>Ctrl+1, Ctrl+2</td><td>fit page, fit width</td></tr>\n"
        "<tr><td>R, Shift+R</td><td>rotate right, rotate left</td></tr>\n"
        "<tr><td>F7</td><td>page strip</td></tr>\n"
        "<tr><td>Ctrl+Shift+L</td><td>link viewers</td></tr>\n"
        "<tr><td>Esc</td><td>ends a Zoom Area selection; closes this help window</td></tr>\n"
        "<tr><td>F1</td><td>these help topics</td></tr>\n"
        "<tr><td>Ctrl+Q</td><td>exit</td></tr>\n"
        "</table>\n"
        "\n" +
        PrintTopic(c) + "\n" + ExportTopic(c) +
        "\n"
        "@topic 6 Importing a list of document numbers\n"
        "<h1>Importing a list of document numbers</h1>\n"
        "<p>The import dialog takes a list of document numbers, one per line or separated by blanks, "
        "tabs, semicolons or commas (a comma that groups the thousands of a number, as in 5,123,456, "
        "stays part of it), and looks every number up in the cumulative index.</p>\n"
        "<ul>\n"
        "<li><b>From a file</b>: type the path in <b>Import Path</b> or press <b>Browse</b> to choose "
        "the file. In a restricted installation only the permitted drives are offered.</li>\n"
        "<li><b>From the clipboard</b>: the text copied from another program.</li>\n"
        "<li><b>Clear All Existing Lists</b> empties the Found, Not Found and other lists first.</li>\n"
        "</ul>\n"
        "<p><b>Import</b> runs the look-up with a progress window. Numbers found go to the Found list "
        "(and to the Not Printed/Exported list, ready for a batch); numbers not in the index go to "
        "the Not Found list, which is shown at the end when there are any. The closing message counts "
        "the numbers read, added to the Found list, already listed (a document is listed once, however "
        "its number is written), not found, and ignored as no document number of this collection, "
        "with the first few ignored ones.</p>\n"
        "<p>A file that is not text, or that holds no document number, is refused by its name and the "
        "lists stay as they were, even with <b>Clear All Existing Lists</b> ticked.</p>\n"
        "\n"
        "@topic 8 Batch export\n"
        "<h1>Batch export</h1>\n"
        "<p>The <b>Batch Export</b> dialog exports every document of the To Export list, volume by "
        "volume, so that each CD-ROM is asked for only once.</p>\n" +
        std::string(c == Collection::Quorvel
                        ? "<p>Choose the pages for every document: <b>Entire Document</b>, <b>First Page "
                          "Only</b>, <b>All Pages EXCEPT the first page</b>, or <b>Subsection</b> and "
                          "the sections to export.</p>\n"
                        : "<p>All pages are exported for each document.</p>\n") +
        "<p>Choose one of the six formats, as for a <a href=\"topic:5\">single export</a>, and the "
        "destination. The progress window shows the document, the page and the time left; "
        "<b>Cancel</b> stops after the current page. Each exported document leaves the To Export "
        "list; the rest stay on it for another run.</p>\n"
        "\n"
        "@topic 9 Batch print and export\n"
        "<h1>Batch print and export</h1>\n"
        "<p>The window <b>Documents for Batch Print/Export</b> shows three lists side by side: the "
        "documents not yet printed or exported, the documents to print and the documents to export, "
        "each with its number of documents and pages.</p>\n"
        "<p>Select entries and use the arrow buttons to move them between the lists. <b>Batch "
        "Print</b> prints every document of the To Print list (see <a href=\"topic:4\">Printing</a>); "
        "<b>Batch Export</b> exports every document of the To Export list (see <a "
        "href=\"topic:8\">Batch export</a>). <b>Close</b> keeps the lists for later.</p>\n"
        "<p>Moving many entries at once shows a progress window; its <b>Cancel</b> leaves all three "
        "lists as they were before the move.</p>\n"
        "\n"
        "@topic 17 About Velk\n"
        "<p>For questions about this installation, its volumes or its configuration, ask the "
        "administrator who set it up. The help topics are in the file velk" +
        std::string(c == Collection::Tovrin ? "wm" : "wp") +
        ".hlp in the installation directory and can be edited with any text editor.</p>\n"
        "\n"
        "@topic 21 The document lists\n"
        "<h1>The document lists</h1>\n"
        "<p>The list window shows one of the document lists: <b>Documents Found</b>, <b>Documents Not "
        "Found</b> or <b>Documents Not Printed/Exported</b>, with the number of entries.</p>\n"
        "<ul>\n"
        "<li><b>Include Volume IDs</b> adds the volume of each document to the copied, printed or "
        "saved lines.</li>\n"
        "<li><b>Copy</b> puts the list on the clipboard; <b>Print</b> prints it; <b>Save</b> writes it "
        "to a text file. While a long list is copied, printed or saved, <b>Cancel</b> beside the "
        "progress bar stops it: nothing reaches the clipboard, the printer or the file.</li>\n"
        "<li>The arrow buttons move to the top or the bottom, or 100 lines up or down.</li>\n"
        "</ul>\n"
        "<p><b>Close</b> closes the window; the list itself is kept.</p>\n"
        "<p>The lists are emptied at every start. When the program did not end through Exit or "
        "the close box last time (a crash, a power cut), the start asks whether to keep the lists "
        "that run had.</p>\n";
    return t;
}

}  // namespace velk::mksample
