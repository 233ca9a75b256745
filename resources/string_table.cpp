#include "resources/string_table.h"

#include <algorithm>
#include <iterator>

namespace resources {
namespace {

struct Entry {
    int id;
    const char* text;
};

// Keep sorted by id: lookups are binary searches (checked at compile time).
constexpr Entry kStrings[] = {
    {101, "&About Ordovane..."},
    {1008, "Unary Operation Step (Decimal)"},
    {1009, "Increment (Shift+I)"},
    {1010, "Decrement (Shift+D)"},
    {1011, "Bitwise Left Shift (<)"},
    {1012, "Bitwise Right Shift (>)"},
    {1013, "Bitwise NOT (~)"},
    {1014, "Bitwise-AND ( &&& )"},
    {1015, "Bitwise-inclusive-OR (|)"},
    {1016, "Bitwise-exclusive-OR (^)"},
    {1017, "Square (@)"},
    {1018, "square root (Key R)"},
    {1019, "Addition (+)"},
    {1020, "Subtration (-)"},
    {1021, "Multiplication (*)"},
    {1022, "Division (/)"},
    {1023, "x Modulu y (%)"},
    {1024, "Greatest Common Divisor (Key G)"},
    {1025, "x^y Modulu z (Key P)"},
    {1026, "Inverse of x Modulu y (Key Y)"},
    {1027, "Jac(x|y) (Key J)"},
    {1028, "Swap first and second operands"},
    {1029, "Copy first operand to second"},
    {1030, "Copy second operand to first"},
    {1031, "Copy result to first operand"},
    {1032, "Copy result to second operand"},
    {1033, "Format operand"},
    {1034, "Reverse operand"},
    {1035, "Swap by two bytes a unit"},
    {1036, "Swap by four bytes a unit"},
    {1037, "Swap by eight bytes a unit"},
    {1038, "Type 0 (Digit Key 0)"},
    {1039, "Type 1 (Digit Key 1)"},
    {1040, "Type 2 (Digit Key 2)"},
    {1041, "Type 3 (Digit Key 3)"},
    {1042, "Type 4 (Digit Key 4)"},
    {1043, "Type 5 (Digit Key 5)"},
    {1044, "Type 6 (Digit Key 6)"},
    {1045, "Type 7 (Digit Key 7)"},
    {1046, "Type 8 (Digit Key 8)"},
    {1047, "Type 9 (Digit Key 9)"},
    {1048, "Type A (Letter Key A)"},
    {1049, "Type B (Letter Key B)"},
    {1050, "Type C (Letter Key C)"},
    {1051, "Type D (Letter Key D)"},
    {1052, "Type E (Letter Key E)"},
    {1053, "Type F (Letter Key F)"},
    {1054, "Reset Calculator (ESC)"},
    {1055, "Space (Space)"},
    {1056, "Backspace (Backspace)"},
    {1057, "First Operand (x, %s)"},
    {1058, "Second Operand (y, %s)"},
    {1059, "Third Operand (z, %s)"},
    {1060, "Operation Result (r, %s)"},
    {1061, "Current Operation"},
    {1062, "Show M when memory is not empty"},
    {1063, "Clear Memory (Shift+L)"},
    {1064, "Restore Memory (Shift+R)"},
    {1065, "Save to Memory (Shift+M)"},
    {1066, "Add to Memory (Shift+P)"},
    {1067, "Subtract from Memory (Shift+S)"},
    {2001, "Invalid characters occur in the input text."},
    {2002, "Invalid characters occur in the decimal string."},
    {2003, "Invalid characters occur in the octal string."},
    {2004, "Invalid characters occur in the binary string."},
    {2005, "Invalid initialization data."},
    {2006, "Fail to allocate memory."},
    {2007, "Primality Test"},
    {2008, "It is not a prime."},
    {2009, "The data passed Fermat primality test."},
    {2010, "The data passed Solovay-Strassen primality test."},
    {2011, "The data passed Miller-Rabin primality test."},
    {2012, "The data passed Miller-Rabin, Fermat and \nSolovay-Strassen primality test."},
    {2013, "An internal error occurred while doing primality test."},
    {2015, "No valid number to be saved."},
    {2016, "Can't create file."},
    {2017, "Number save OK."},
    {2018, "Pseudo random number save OK."},
    {2019, "Probabilistic random prime save OK."},
    {2020, "Please input message to do CRC calculation."},
    {2021, "Please select a file to do CRC calculation."},
    {2022, "Can't open file to do CRC calculation."},
    {2023, "The file has no valid data."},
    {2024, "To do CRC calculation, you need define a polynomial first."},
    {2025, "You must define coefficients from high to low order."},
    {2026, "The order of a CRC polynomial must be 2 to 32."},
    {2027, "The MSB of the polynomial must be set. For example, \na 16-bit CRC polynomial must be "
           "set as \"16,...\"."},
    {2028, "An internal error occurred."},
    {2035, "Please select a file to do checksum calculation."},
    {2036, "Can't open file to do checksum calculation."},
    {2041, "Please select a file to calculate hash code."},
    {2042, "Please input message to calculate hash code."},
    {2043, "Can't open file to calculate hash code."},
    {2045, "Can't create hash handle."},
    {2051, "Export To File"},
    {2052, "Data export to file OK."},
    {2057, "Number Formatter"},
    {2058, "Search Next Prime"},
    {2059, "Search Previous Prime"},
    {2060, "Search prime is time consuming when the number is a big, please wait for the process "
           "to finish. "},
    {2070, "Invalid hexdecimal data string!"},
    {2077, "To do an operation, you must specify \"First Operand\"."},
    {2078, "To do a binary operation, you must specify \"Second Operand\"."},
    {2079, "\"First Operand\" is invalid."},
    {2080, "\"Second Operand\" is invalid."},
    {2081, "An internal operation error occurred."},
    {2083, "\"Third Operand\" is invalid."},
    {2084, "To calculate Jacobi symbol, \"Second Operand\" should \r\nbe an odd integer and not "
           "smaller than 3."},
    {2085, "To calculate Jacobi symbol, \"First Operand\" should \r\nbe smaller than \"Second "
           "Operand\"."},
    {2086, "Convert active operand / result to hexadecimal"},
    {2087, "Convert active operand / result to decimal"},
    {2088, "Convert active operand / result to octal"},
    {2089, "Convert active operand / result to binary"},
    {2090, "To do a unary operation, you need \r\nspecify a value"},
    {2091, "To do a unary operation, you need \r\nspecify a valid value"},
    {5501, "You can know product version by by clicking About Ordovane on the Help menu."},
    {5506, "You can get help on any dialog box. Click the Help button in the dialog or press F1."},
    {5507, "To display or hide toolbars, you can, on the View menu, click menu item that you want "
           "to display or hide."},
    {5508, "You can display a shortcut menu by clicking the right mouse button in a Multibyte Hex "
           "Edit Box. The shortcut menu contains commands specific to the edit box."},
    {5509, "You can close a dialog box by pressing Esc."},
    {5510, "Ordovane displays the name of a toolbar button when you point to the button."},
    {5511, "Ordovane is a programmable multiple-precision integer calculator, which supports both "
           "VBScript scripting and JScript scripting."},
    {5512, "With Ordovane, you can perform big number arithmetic and math operations such as "
           "modular inverse, pseudo-random number generation, primality test, key exchange, and "
           "hash value calculation."},
    {5513, "Ordovane is a great time-saver for the programmers and those who work in the fields of "
           "data analysis and cryptography."},
    {5514, "Ordovane is also an automation object and a scripting host. It dispatches a library of "
           "methods for performing multiple-precision integer operations."},
    {5515, "Ordovane provides an ideal host for users to design and test the algorithms that "
           "require to invoke the big number operations with non-interactive scripts."},
    {5516, "Ordovane is a 32-bit windows applications, can run under Windows XP, Windows 2000, "
           "Windows 2003 Server, Windows NT 4.0, or windows 98/Me."},
    {5517, "Ordovane uses specialized Multibyte Hex Edit Boxes for editing, formatting, and "
           "testing operands."},
    {5518, "Ordovane has a built-in Hex Number Formatter for you to format ASCII text and convert "
           "it to a hex number."},
    {5519,
     "Ordovane has a built-in Key Container Manager for you to manage a list of key containers."},
    {5520, "Ordovane has a built-in Random Number Generator for you to generate a pseudo-random "
           "sequence of bits."},
    {5521, "Ordovane has a built-in Random Prime Generator for you to search for a random "
           "probabilistic prime."},
    {5522, "Ordovane has a built-in Randomicity Test tool for you to perform some statistical "
           "tests on an operand."},
    {5523, "Ordovane has a built-in Bit Shifter for you to evaluate and simulate a variety of "
           "shift register configurations."},
    {5524,
     "Ordovane has a built-in Checksum Calculator for you to calculate the checksum of a file."},
    {5525, "Ordovane has a built-in CRC Value Calculator for you to calculate 16/32-bit CRC value "
           "of a message or file."},
    {5526, "Ordovane has a built-in Hash Value Calculator for you to calculate the hash value of a "
           "message / file using MD2, MD4, MD5, SHA-160, SHA-224, SHA-256, SHA-384, SHA-512, or "
           "RIPEMD-160 hash algorithm."},
    {5527, "Ordovane has provided a built-in Automation Object to dispatch a library of methods "
           "for performing multiple-precision integer operations."},
    {5528, "Ordovane is also a language-independent Scripting Host, which supports VBScript and "
           "JScript."},
    {5529, "Ordovane includes many purpose-designed tools, most of them support \"big number\" "
           "arithmetic and provide a dialog box as an interface for users to interact."},
    {5530, "You can use Ordovane to perform many purpose-designed \"big number\" arithmetic."},
    {5531, "Ordovane uses a special edit box, named Multibyte Hex Edit Box, to list and edit an "
           "operand, which is presented by a space-separated list of hex-bytes."},
    {5532, "You can use an equivalent key to perform same action as a command button does."},
    {5533,
     "When using Ordovane calculator, you can move mouse on a button to view its equivalent key."},
    {5534, "Behind Ordovane, there is an automation object, named Tallomir, which dispatches some "
           "multiple-precision arithmetic methods for your scripts to invoke."},
    {5535, "Ordovane is also a scripting host, which provides Scripting Host Console as a user "
           "interface for you to load and run scripts."},
    {5536, "Ordovane Scripting Host is a language-independent scripting host for ActiveX scripting "
           "engines on 32-bit Windows platforms, it supports both VBScript and JScript scripting "
           "engines."},
    {5537, "Ordovane provides some useful scripting samples to help you to implement a utility, "
           "you can access the sample files by browsing the samples directory in your Ordovane "
           "installation destination."},
    {5538, "You can insert a Kestrune HEX-Data or HEX-Block format data from the Clipboard into "
           "any Multibyte Hex Edit Box."},
    {5539, "With Multibyte Hex Edit Box's popup-menu commands, you can format a hex number to its "
           "standard presentation, a space-separated list of hex-bytes, and you can also swap its "
           "byte order."},
    {5540, "With Multibyte Hex Edit Box's popup-menu commands, you can format, generate, and "
           "insert various external data into it."},
    {5541, "With Ordovane's File menu commands, you can import a hex file or a formatted text file "
           "into a Multibyte Hex Edit Box."},
    {5542, "With Multibyte Hex Edit Box's popup-menu commands, you can format, generate, and "
           "insert various external data into it."},
    {5543, "With Multibyte Hex Edit Box's popup memu commands, you can check some operand "
           "properties, including: randomicity, primality, CRC value, and hash value."},
    {5544, "You can format an ASCII text, a piece of c-source code, a piece of memory dump, or a "
           "special \"big number\" to get a space-separated list of hex-bytes."},
    {5545, "You can present Hex Number Formatter dialog box to import data from external source "
           "and format it to hex-bytes."},
    {5546, "You can present Pseudo-Random Number Generator dialog box to generate a pseudo-random "
           "sequence of bits."},
    {5547, "You can present Pseudo-Random Prime Generator dialog box to generate a pseudo-random "
           "probabilistic prime."},
    {5548, "You can present CRC Check Tool dialog box to compute the CRC of a message or a file "
           "based on the CRC parameters you specified."},
    {5549, "You can present Hash Value Generator dialog box to calculate the hash value of a "
           "message or a file based on the hash method you specified."},
    {5550, "You can perform general primality test on an operand using Fermat Test, "
           "Solovay-Strassen Test, and Miller-Rabin Test method."},
    {5551, "You can perform Fermat Primality Test on an operand."},
    {5552, "You can perform a Solovay-Strassen Primality Test on an operand."},
    {5553, "You can perform a Miller-Rabin Primality Test on an operand."},
    {5554, "The Ordovane checksum tool can be used to calculate a file's checksum, which is based "
           "on the checksum parameters you specified."},
    {5555, "The Ordovane CRC tool can be used to calculate a 16 and 32-bit CRC result or used to "
           "test and evaluate a variety of 16 and 32-bit CRC algorithms based on the parameters "
           "you specified."},
    {5556, "In Ordovane, an operand is a multiple-precision unsigned integer, which is presented "
           "by a space-separated list of hex-bytes."},
    {5557, "To exchange data with external sources, check data properties, and insert special data "
           "into an operand box, Ordovane has developed three kinds of utilities: data exchange, "
           "data check and data generation Tools."},
    {5558, "Tallomir dispatches a library of methods for performing multiple-precision integer "
           "operations. Your scripts create Tallomir object, then call the object methods to "
           "perform desired calculations."},
    {5559, "If you design to run your scripts under Ordovane Scripting Host, you can use Tallomir "
           "as object name to call methods directly."},
    {5560, "Ordovane is also a number converter, with Converter commands, you can convert any big "
           "number between hex, dec, oct, and bin system."},
    {5561, "With Formatter commands, you can format an operand to its standard presentation; you "
           "can also swap its byte order."},
    {5562, "With Multibyte Hex Edit Box's popup-menu commands, You can search the prime next to or "
           "previous to current operand."},
    {5563, "You can use unary operations, Increment, Decrement, Not, Lsh, Rsh, to modify an "
           "operand more fast."},
    {5564, "You can use Sqrt operator to calculate the square root of any operand, which will "
           "return the integer portion of the root."},
    {5565, "You can use Jn operator to calculate Jacobi (Legendre) symbol."},
    {5566, "You can use Hex Formatter to format an ASCII text and get a space-separated list of "
           "hex-bytes."},
    {5567, "You can use Hex Formatter to decode base64-encoded text or base64-encoded hex-bytes."},
    {5568, "Suppose you have a piece of c-source data declaration and you wish to format it to get "
           "a big number, you can use Hex Formatter to perform."},
    {5569, "Suppose you have a piece of memory dump and you wish to format it to get a big number, "
           "you can use Hex Formatter to perform."},
    {32771, "Format Hex Number"},
    {32772, "Manage Key Container"},
    {32773, "Generate Pseudo-Random Number"},
    {32774, "Generate Pseudo-Random Prime"},
    {32775, "Calculate CRC Value"},
    {32776, "Calculate Hash Value"},
    {32777, "Activate Scripting Host"},
    {32780, "Calculate Checksum"},
    {32806, "Activate Bit Shifter"},
    {32808, "Switch to Windows Calculator"},
};

constexpr bool IdsAscending() {
    return std::adjacent_find(std::begin(kStrings), std::end(kStrings),
                              [](const Entry& a, const Entry& b) { return a.id >= b.id; }) ==
           std::end(kStrings);
}
static_assert(IdsAscending(), "string table ids must be unique and ascending");

} // namespace

const char* LoadStringText(int id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& e, int key) { return e.id < key; });
    return it != std::end(kStrings) && it->id == id ? it->text : nullptr;
}

} // namespace resources
