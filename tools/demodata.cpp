#include "tools/demodata.h"

#include "db/errors.h"
#include "tools/createdb.h"

#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace cvd::tools {

namespace {

// A small generator of our own, so that a seed gives the same records with
// every compiler and library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_s(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(((next() >> 32) * std::uint64_t(n)) >> 32); }
    bool percent(int p) { return below(100) < p; }
    template <typename T, std::size_t N> const T& pick(const T (&a)[N]) { return a[below(int(N))]; }

private:
    std::uint64_t m_s;
};

struct Dept {
    const char *name, *address, *city, *st, *zip, *country, *phone;
};

const Dept kDepts[] = {
    {"Accounting", "200 Commerce Plaza\r\nSuite 410", "Springfield", "IL", "62701", "USA", "(217) 555-0140"},
    {"Ångström Labs Inc.", "14 Fjord Road\r\nBuilding C", "Madison", "WI", "53703", "USA", "(608) 555-0199"},
    {"O'Neil & Sons Plumbing", "88 Water Street", "Peoria", "IL", "61602", "USA", "(309) 555-0123"},
    {"Human Resources", "200 Commerce Plaza\r\nSuite 300", "Springfield", "IL", "62701", "USA", "(217) 555-0130"},
    {"Marketing", "200 Commerce Plaza\r\nSuite 500", "Springfield", "IL", "62701", "USA", "(217) 555-0150"},
    {"Shipping & Receiving", "12 Dock Lane\r\nLoading Bay 3", "Springfield", "IL", "62703", "USA", "(217) 555-0177"},
    {"Legal", "1 Courthouse Square\r\nThird Floor", "Springfield", "IL", "62701", "USA", "(217) 555-0188"},
    {"Research & Development", "4500 Innovation Drive", "Champaign", "IL", "61820", "USA", "(217) 555-0210"},
    {"Facilities", "200 Commerce Plaza\r\nBasement", "Springfield", "IL", "62701", "USA", "(217) 555-0105"},
    {"Mercer Dental Group", "77 Elm Avenue\r\nSuite 2", "Decatur", "IL", "62521", "USA", "(217) 555-0162"},
    {"Müller Consulting GmbH", "Königstraße 12", "Stuttgart", "BW", "70173", "Germany", "+49 711 5550101"},
};

struct Customer {
    const char *first, *last, *title;
    int dept; // 1-based into kDepts, 0 for none
    const char *address, *city, *st, *zip, *country, *phone, *altId;
};

const Customer kCustomers[] = {
    {"Zoë", "Ångström", "Lab Manager", 2, nullptr, nullptr, nullptr, nullptr, nullptr, "(608) 555-0191", "E1001"},
    {"Patrick", "O'Neil", "Owner", 3, nullptr, nullptr, nullptr, nullptr, nullptr, "(309) 555-0124", nullptr},
    {"明", "李", "Research Associate", 8, nullptr, nullptr, nullptr, nullptr, nullptr, "(217) 555-0214", "E1003"},
    {nullptr, "Hargreaves", nullptr, 0, "9 Orchard Lane", "Chatham", "IL", "62629", "USA", "(217) 555-0301", nullptr},
    {"Siobhán", "O'Brien", "Accounts Payable Clerk", 1, nullptr, nullptr, nullptr, nullptr, nullptr, "x4412", "E1005"},
    {"José", "García", "Warehouse Supervisor", 6, nullptr, nullptr, nullptr, nullptr, nullptr, "x4470", "E1006"},
    {"Renée", "Dubois", "Marketing Director", 5, nullptr, nullptr, nullptr, nullptr, nullptr, "x4501", "E1007"},
    {"Jürgen", "Müller", "Senior Consultant", 11, nullptr, nullptr, nullptr, nullptr, nullptr, "+49 711 5550102", nullptr},
    {"Aiko", "Tanaka", "Paralegal", 7, nullptr, nullptr, nullptr, nullptr, nullptr, "x4520", "E1009"},
    {nullptr, "Okafor", nullptr, 0, "310 Lincoln Street\r\nApt. 4B", "Springfield", "IL", "62704", "USA", "(217) 555-0344", nullptr},
    {"Margaret", "Whitfield", "HR Generalist", 4, nullptr, nullptr, nullptr, nullptr, nullptr, "x4301", "E1011"},
    {"Dmitri", "Volkov", "Facilities Coordinator", 9, nullptr, nullptr, nullptr, nullptr, nullptr, "x4105", "E1012"},
    {"Sarah", "Mitchell", "Receptionist", 10, nullptr, nullptr, nullptr, nullptr, nullptr, "(217) 555-0163", nullptr},
    {"Alan", "Mercer", "Dentist", 10, nullptr, nullptr, nullptr, nullptr, nullptr, "(217) 555-0164", nullptr},
    {"Kevin", "D'Angelo", "Sales Representative", 5, nullptr, nullptr, nullptr, nullptr, nullptr, "x4533", "E1015"},
    {"Priya", "Raghunathan", "Financial Analyst", 1, nullptr, nullptr, nullptr, nullptr, nullptr, "x4418", "E1016"},
    {"Tom", "Becker", nullptr, 0, "1200 S. Grand Ave.", "Springfield", "IL", "62703", "USA", "(217) 555-0388", nullptr},
    {nullptr, "Nguyễn", nullptr, 0, "45 River Road", "Rochester", "IL", "62563", "USA", nullptr, nullptr},
    {"Fatima", "Al-Sayed", "Attorney", 7, nullptr, nullptr, nullptr, nullptr, nullptr, "x4522", "E1019"},
    {"Lars", "Øvergaard", "Lab Technician", 2, nullptr, nullptr, nullptr, nullptr, nullptr, "(608) 555-0193", nullptr},
    {"Grace", "Kim", "Payroll Specialist", 4, nullptr, nullptr, nullptr, nullptr, nullptr, "x4310", "E1021"},
    {"Henry", "Caldwell", "Chief Financial Officer", 1, nullptr, nullptr, nullptr, nullptr, nullptr, "x4400", "E1022"},
    {"Isabel", "Cortés", "Buyer", 6, nullptr, nullptr, nullptr, nullptr, nullptr, "x4474", "E1023"},
    {"芳", "王", "Chemist", 8, nullptr, nullptr, nullptr, nullptr, nullptr, "(217) 555-0219", "E1024"},
    {"Mary-Kate", "Flanagan", "Office Manager", 3, nullptr, nullptr, nullptr, nullptr, nullptr, "(309) 555-0125", nullptr},
    {nullptr, "Szymański", nullptr, 0, "7 Willow Court", "Sherman", "IL", "62684", "USA", "(217) 555-0399", nullptr},
    {"Brian", "O'Connor", "Intern", 5, nullptr, nullptr, nullptr, nullptr, nullptr, "x4540", nullptr},
    {"Chloé", "Lefèvre", "Graphic Designer", 5, nullptr, nullptr, nullptr, nullptr, nullptr, "x4505", "E1028"},
    {"Samuel", "Adeyemi", "Chemist", 2, nullptr, nullptr, nullptr, nullptr, nullptr, "(608) 555-0195", nullptr},
    {"Linda", "Park", "Hygienist", 10, nullptr, nullptr, nullptr, nullptr, nullptr, "(217) 555-0165", nullptr},
    {"Robert", "Hale", "Maintenance", 9, nullptr, nullptr, nullptr, nullptr, nullptr, "x4110", "E1031"},
    {"Ingrid", "Sørensen", "Translator", 0, "Vesterbrogade 31", "København V", nullptr, "1620", "Denmark", "+45 3355 0101", nullptr},
    {"Carlos", "Mendoza", "Driver", 6, nullptr, nullptr, nullptr, nullptr, nullptr, "x4478", "E1033"},
    {"Ann", "Liu", "Student Worker", 0, "1 University Plaza\r\nRoom 12", "Springfield", "IL", "62703", "USA", nullptr, "S20417"},
    {"Oliver", "Grant", "Counsel", 7, nullptr, nullptr, nullptr, nullptr, nullptr, "x4525", "E1035"},
    {"Nora", "Kelly", "Recruiter", 4, nullptr, nullptr, nullptr, nullptr, nullptr, "x4320", "E1036"},
};

struct Staff {
    const char *first, *last, *phone, *altId, *comments;
};

const Staff kStaff[] = {
    {"Dana", "Whitaker", "x2201", "DW01", "Team lead.\r\nOn call the first week of each month."},
    {"Zoë", "Castellanos", "x2202", "ZC02", nullptr},
    {"Marcus", "O'Neil", "x2203", "MO03", "Networks and telephones."},
    {"娜", "李", "x2204", "LN04", "Speaks Mandarin and Cantonese."},
    {"Ben", "Åkesson", "x2205", "BA05", nullptr},
    {"Priscilla", "Hart", "x2206", "PH06", "Part-time: Monday, Wednesday, Friday.\r\nTraining coordinator."},
    {"Raj", "Patel", "x2207", "RP07", nullptr},
    {"Ellen", "Frost", "x2208", "EF08", "Evening shift."},
};

const char* const kCategories[] = {"Hardware", "Software", "Network", "Printing", "Accounts",
                                   "Training", "E-mail", "Telephone", "Other"};
// Weighted choice: Normal most of the time.
const char* const kPriorities[] = {"Urgent", "High", "Normal", "Low"};
const int kPriorityPick[] = {1, 2, 2, 3, 3, 3, 3, 3, 3, 4, 4};

struct Template {
    int cat; // 1-based into kCategories
    const char *shortDesc, *request, *response;
};

const Template kTemplates[] = {
    {1, "Monitor flickers", "The monitor on the front desk flickers and goes dark for a second every few minutes.\r\nIt started after the desk was moved.",
     "Replaced the video cable; the old one was pinched under the desk leg.\r\nWatched it for 30 minutes: no flicker."},
    {1, "Zoë's laptop won't boot", "Zoë's laptop shows a black screen with a blinking cursor after the logo.\r\nShe needs her files for a meeting tomorrow.",
     "Copied her documents to the server first, then repaired the boot sector from the recovery console."},
    {1, "Keyboard keys sticking", "Several keys stick (E, R and the space bar).\r\nCoffee was spilled on the keyboard last week.",
     "Replaced the keyboard from stock; the old one was thrown away."},
    {1, "New PC setup", "A new employee starts on Monday and needs a PC with the standard programs, a network account and a phone.",
     "Imaged the PC, installed the office suite and the accounting client, joined it to the domain.\r\nDelivered it and set it up at the desk."},
    {1, "Hard disk clicking", "The PC makes a loud clicking noise and takes ages to open files.",
     "The disk was failing. Cloned it to a new disk and put that in.\r\nNo data lost."},
    {1, "UPS beeping in server room", "The UPS in the server room beeps every 30 seconds.",
     "The battery failed its self-test. Ordered and fitted a new battery pack."},
    {2, "Spreadsheet closes on open", "The budget spreadsheet closes without a message as soon as it is opened.\r\nOther files open fine.",
     "The file held a damaged chart. Repaired it and saved a clean copy under the old name."},
    {2, "Install accounting update", "Please install the year-end update of the accounting package on the four PCs in Accounting.",
     "Installed the update on all four PCs and checked the version number on each."},
    {2, "Virus warning", "A window keeps popping up saying the PC is infected and asking to call a phone number.",
     "Removed the adware; a full scan is clean. Reset the browser settings.\r\nReminded the user never to call such numbers."},
    {2, "李 needs Chinese input", "李 needs the Chinese (Simplified) input method to write to suppliers.",
     "Added the Chinese (Simplified) keyboard with Pinyin input and showed how to switch with Alt+Shift."},
    {2, "Drawing program license expired", "The drawing program says its license has expired.",
     "Renewed the license under the site agreement and entered the new key."},
    {3, "No network in room 214", "Nobody in room 214 can reach the server or the internet since this morning.",
     "The switch in the wiring closet had lost power. Plugged it into the UPS and restarted it."},
    {3, "Slow internet after lunch", "Web pages take a minute to load in the early afternoon.",
     "A backup job was copying over the line at noon. Moved it to 2 a.m."},
    {3, "Wireless drops out", "The wireless connection in the conference room drops every few minutes.",
     "Moved the access point to another channel, away from the neighbour's network; the signal is steady now."},
    {3, "VPN will not connect", "From home, the VPN client says the connection timed out.",
     "The client certificate had expired. Issued a new one and talked the user through installing it."},
    {4, "Printer jams on tray 2", "The hallway printer jams every time tray 2 is used.\r\nTray 1 works.",
     "Cleaned and replaced the pick-up roller of tray 2. Printed 50 test pages without a jam."},
    {4, "Gray streak on printouts", "Printouts from the laser printer have a gray streak down the left side.",
     "Replaced the toner cartridge; its drum was scratched."},
    {4, "Cannot print from new PC", "The new PC does not list the accounting printer.",
     "Installed the printer driver and added the network printer. Test page OK."},
    {4, "Ångström lab label printer", "The label printer in the Ångström lab prints blank labels.",
     "The print head was dirty. Cleaned it and calibrated the label gap sensor again."},
    {5, "Password reset for O'Neil", "Mr. O'Neil is locked out of his account after too many tries.",
     "Unlocked the account and set a temporary password; he chose a new one at the next log-on."},
    {5, "New user account", "Please create a network and e-mail account for a new employee.",
     "Created the account, mailbox and home folder; added it to the department's groups."},
    {5, "Disable account of leaver", "An employee left on Friday. Please disable the account and forward the mail to the manager.",
     "Disabled the account, forwarded the mail for 90 days and archived the home folder."},
    {5, "Access to Projects share", "Needs read and write access to the Projects share.",
     "Added the user to the Projects group once the manager had approved."},
    {6, "Spreadsheet training", "Two people would like an introduction to pivot tables.",
     "Held a two-hour session with exercises. The handout is on the shared drive."},
    {6, "Phone system training", "Please show the front desk how to transfer calls and set up voice mail.",
     "Trained three receptionists and left a quick-reference card at each desk."},
    {6, "Help desk orientation", "Orientation for new staff: how to ask for help and what to include.",
     "Gave the 30-minute orientation to the new employees."},
    {7, "Mail stuck in outbox", "Messages with attachments stay in the outbox and never go out.",
     "The attachment was over the 20 MB limit. Showed how to share large files with a link instead."},
    {7, "Customer mail marked as junk", "Mail from a key customer ends up in the junk folder.",
     "Added the customer's domain to the safe senders list for the whole organisation."},
    {7, "Mailbox full", "Warnings that the mailbox is full; cannot send any mail.",
     "Archived mail older than two years to a local archive file; the mailbox is at 40% now."},
    {8, "Phone has no dial tone", "The reception desk phone has no dial tone.",
     "Re-seated the phone cable in the patch panel; dial tone is back."},
    {8, "Voice mail PIN forgotten", "Forgot the voice mail PIN.", "Reset the voice mail PIN to a temporary one."},
    {9, "Office move for O'Neil & Sons", "The office manager moves to the second floor next week; please move the PC and the phone.",
     "Moved the PC, monitor and phone; patched the new wall port and tested the network."},
    {9, "Projector for board meeting", "Need a projector and a laptop in the board room on Thursday at 9.",
     "Set up and tested before the meeting; collected afterwards."},
    {9, "Quote for new laptops", "Please get a quote for six laptops for the sales team.",
     "Sent quotes from two suppliers with a recommendation."},
};

const char* const kRequestExtras[] = {
    nullptr, "Caller can be reached at extension 4412.", "Please call before coming over.",
    "Needed for a client meeting.", "Happens most days.", "Reported by phone.",
    "The user has already restarted the PC twice.", "The same thing happened last month.",
    "Best time is after 2 p.m.", "Reported by e-mail.", "The manager approved the work.",
    "Not urgent; any day this week.", "Asked by Zoë at the front desk.",
    "Left a message with O'Neil's assistant.", "The room key is at reception.", nullptr,
};
const char* const kResponseExtras[] = {
    nullptr, "The customer confirmed that it works.", "Closed after a follow-up call.",
    "Left a note on the desk.", "Time includes travel.", "Parts taken from stock.", nullptr,
    "Checked again the next day: fine.",
};
const char* const kOpenResponses[] = {
    nullptr, nullptr, "Waiting for parts.", "Looked at it; needs a second visit.",
    "Called the user, no answer. Will try again.", "Ordered a replacement; expected next week.",
};
const char* const kMisc[] = {"PO 4471-B", "Warranty", "Tag A-1029", "Call back after 3 p.m.",
                             "Charge to project 12", "Zoë's cubicle", "Ref. O'Neil quote", "Follow up in 30 days"};
const int kHours[] = {0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 4, 6};
const int kMinutes[] = {0, 0, 5, 10, 15, 15, 20, 30, 30, 45};
const std::int64_t kAddCharges[] = {50000, 125000, 250000, 450000, 899900, 1500000, 3500000}; // ten-thousandths
const int kDueDays[] = {1, 2, 3, 5, 7, 7, 14, 30};

// Made-up customers: a last name is one of the names above or a stem with
// an ending, which gives a few thousand names spread over most initials.
const char* const kSurnameStems[] = {
    "Ab", "Ad", "Al", "An", "Ar", "Ash", "Bal", "Bar", "Bel", "Ben", "Ber", "Bl", "Br", "Cal", "Cam",
    "Car", "Chan", "Col", "Cor", "Cr", "Dal", "Dav", "Den", "Dr", "Ed", "El", "Em", "Fair", "Far", "Fer",
    "Fitz", "Fl", "Gal", "Gar", "Gil", "Gr", "Hal", "Ham", "Har", "Hen", "Hol", "Hud", "Ing", "Jan", "Jen",
    "Kel", "Ken", "Kim", "Kn", "Lan", "Law", "Lind", "Mac", "Mar", "Mc", "Mer", "Mor", "Nash", "Nor", "Ok",
    "Ol", "Os", "Par", "Pen", "Pr", "Quin", "Ram", "Rich", "Rob", "Ros", "Sal", "Sand", "Sch", "Sh", "Sm",
    "St", "Sul", "Tal", "Th", "Tr", "Ul", "Van", "Wal", "War", "Wh", "Wil", "Win", "Wr", "Yor", "Zim",
    "Ös", "Ån", "Łu",
};
const char* const kSurnameEndings[] = {
    "ton", "son", "ley", "ford", "man", "well", "wood", "er", "ing", "ett", "ard", "ins", "by", "field",
    "stein", "berg", "ski", "ez", "ini", "ova", "sen", "dale", "more", "wick", "ham", "ridge", "ström",
    "ow", "ey", "ick", "ato", "elli",
};
const char* const kStreets[] = {"Main Street", "Oak Avenue", "Elm Avenue", "Maple Drive", "Lincoln Street",
                                "River Road", "Orchard Lane", "Willow Court", "Washington Blvd.", "S. Grand Ave.",
                                "Lakeview Terrace", "Mill Road"};

struct Town {
    const char *city, *st, *zip, *country, *area;
};

const Town kTowns[] = {
    {"Springfield", "IL", "62701", "USA", "(217)"}, {"Springfield", "IL", "62703", "USA", "(217)"},
    {"Springfield", "IL", "62704", "USA", "(217)"}, {"Chatham", "IL", "62629", "USA", "(217)"},
    {"Rochester", "IL", "62563", "USA", "(217)"},   {"Sherman", "IL", "62684", "USA", "(217)"},
    {"Decatur", "IL", "62521", "USA", "(217)"},     {"Champaign", "IL", "61820", "USA", "(217)"},
    {"Peoria", "IL", "61602", "USA", "(309)"},      {"Madison", "WI", "53703", "USA", "(608)"},
};

// First names, last names and titles of the fixed customers and staff.
struct NamePools {
    std::vector<const char*> first, last, titles;
};

NamePools namePools()
{
    NamePools p;
    auto add = [](std::vector<const char*>& pool, const char* name) {
        if (name && std::find_if(pool.begin(), pool.end(), [name](const char* s) { return std::strcmp(s, name) == 0; })
                        == pool.end())
            pool.push_back(name);
    };
    for (const Customer& c : kCustomers)
        add(p.first, c.first), add(p.last, c.last), add(p.titles, c.title);
    for (const Staff& s : kStaff)
        add(p.first, s.first), add(p.last, s.last);
    return p;
}

class Stmt {
public:
    Stmt(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_s, nullptr) != SQLITE_OK)
            raise(ErrNo::SqlError, QString::fromUtf8(sqlite3_errmsg(db)));
    }
    ~Stmt() { sqlite3_finalize(m_s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    void text(int i, const char* s) { s ? sqlite3_bind_text(m_s, i, s, -1, SQLITE_STATIC) : sqlite3_bind_null(m_s, i); }
    void text(int i, const std::string& s) { sqlite3_bind_text(m_s, i, s.data(), int(s.size()), SQLITE_STATIC); }
    void integer(int i, std::int64_t v) { sqlite3_bind_int64(m_s, i, v); }
    void idOrNull(int i, int id) { id ? sqlite3_bind_int64(m_s, i, id) : sqlite3_bind_null(m_s, i); }
    void real(int i, double v) { sqlite3_bind_double(m_s, i, v); }
    void null(int i) { sqlite3_bind_null(m_s, i); }
    void run()
    {
        if (sqlite3_step(m_s) != SQLITE_DONE)
            raise(ErrNo::SqlError, QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_s))));
        sqlite3_reset(m_s);
    }
    sqlite3_stmt* get() const { return m_s; }

private:
    sqlite3_stmt* m_s = nullptr;
};

std::string join(const char* a, const char* b)
{
    std::string s = a;
    if (b) {
        s += "\r\n";
        s += b;
    }
    return s;
}

// The customers: with `wanted` below zero the fixed list; otherwise that
// many, the fixed ones first and the rest made up from the name pools.
// Returns each customer's department (1-based, 0 for none) by CustID - 1.
std::vector<int> addCustomers(sqlite3* db, Rng& rng, int wanted)
{
    Stmt cust(db, "INSERT INTO Customers (FirstName, LastName, Title, Address, City, St, Zip, Country, Phone, AltID, DeptID)"
                  " VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    const int nFixed = int(std::size(kCustomers));
    const int n = wanted < 0 ? nFixed : wanted;
    std::vector<int> deptOf;
    deptOf.reserve(std::size_t(n));
    for (int i = 0; i < std::min(n, nFixed); ++i) {
        const Customer& c = kCustomers[i];
        cust.text(1, c.first), cust.text(2, c.last), cust.text(3, c.title), cust.text(4, c.address);
        cust.text(5, c.city), cust.text(6, c.st), cust.text(7, c.zip), cust.text(8, c.country);
        cust.text(9, c.phone), cust.text(10, c.altId), cust.idOrNull(11, c.dept);
        cust.run();
        deptOf.push_back(c.dept);
    }
    if (n <= nFixed)
        return deptOf;

    const NamePools pools = namePools();
    const int nDept = int(std::size(kDepts));
    std::string last, address, phone, altId;
    for (int i = nFixed; i < n; ++i) {
        const int kind = rng.below(100);
        const char* first = kind < 3 ? nullptr : pools.first[std::size_t(rng.below(int(pools.first.size())))];
        if (kind >= 99) {
            last.clear(); // a first name alone
        } else if (rng.percent(35)) {
            last = pools.last[std::size_t(rng.below(int(pools.last.size())))];
        } else {
            last = rng.pick(kSurnameStems);
            last += rng.pick(kSurnameEndings);
        }
        const Town& town = rng.pick(kTowns);
        address = std::to_string(1 + rng.below(9999)) + ' ' + rng.pick(kStreets);
        if (rng.percent(10))
            address += "\r\nApt. " + std::to_string(1 + rng.below(40)) + char('A' + rng.below(6));
        phone = std::string(town.area) + " 555-" + std::to_string(1000 + rng.below(9000));
        const int dept = rng.percent(70) ? 1 + rng.below(nDept) : 0;
        const bool hasAlt = rng.percent(30);
        altId = "C" + std::to_string(100000 + i);

        cust.text(1, first);
        last.empty() ? cust.null(2) : cust.text(2, last);
        cust.text(3, rng.percent(50) ? pools.titles[std::size_t(rng.below(int(pools.titles.size())))] : nullptr);
        cust.text(4, address), cust.text(5, town.city), cust.text(6, town.st), cust.text(7, town.zip);
        cust.text(8, town.country), cust.text(9, phone);
        hasAlt ? cust.text(10, altId) : cust.null(10);
        cust.idOrNull(11, dept);
        cust.run();
        deptOf.push_back(dept);
    }
    return deptOf;
}

// The reference lists; returns each customer's department as addCustomers.
std::vector<int> addReferenceLists(sqlite3* db, Rng& rng, int customers)
{
    Stmt dept(db, "INSERT INTO Dept (DeptName, Address, City, St, Zip, Country, Phone) VALUES (?,?,?,?,?,?,?)");
    for (const Dept& d : kDepts) {
        dept.text(1, d.name), dept.text(2, d.address), dept.text(3, d.city), dept.text(4, d.st);
        dept.text(5, d.zip), dept.text(6, d.country), dept.text(7, d.phone);
        dept.run();
    }
    std::vector<int> deptOf = addCustomers(db, rng, customers);
    Stmt staff(db, "INSERT INTO Staff (FirstName, LastName, Phone, AltID, Comments) VALUES (?,?,?,?,?)");
    for (const Staff& s : kStaff) {
        staff.text(1, s.first), staff.text(2, s.last), staff.text(3, s.phone), staff.text(4, s.altId), staff.text(5, s.comments);
        staff.run();
    }
    Stmt cat(db, "INSERT INTO Categories (CatDesc) VALUES (?)");
    for (const char* c : kCategories)
        cat.text(1, c), cat.run();
    Stmt pri(db, "INSERT INTO Priorities (PriDesc) VALUES (?)");
    for (const char* p : kPriorities)
        pri.text(1, p), pri.run();
    return deptOf;
}

// Rate and minimum charge of the Settings row, in ten-thousandths.
void readCosting(sqlite3* db, std::int64_t& rate, std::int64_t& minimum)
{
    Stmt q(db, "SELECT DefHourlyRate, DefMinCharge FROM Settings");
    rate = 400000, minimum = 250000;
    if (sqlite3_step(q.get()) == SQLITE_ROW) {
        rate = sqlite3_column_int64(q.get(), 0);
        minimum = sqlite3_column_int64(q.get(), 1);
    }
}

// The total cost as the main window computes and stores it: hours and
// minutes at the hourly rate plus the additional charge, at least the
// minimum charge, kept with the two decimals it is shown with.
std::int64_t costOf(int halfHours, int minutes, std::int64_t addCharge, std::int64_t rate, std::int64_t minimum)
{
    const std::int64_t perMinute = rate * minutes; // divided by 60 below, halves to even
    std::int64_t part2 = perMinute / 60;
    const std::int64_t rest = perMinute % 60;
    if (rest * 2 > 60 || (rest * 2 == 60 && (part2 & 1)))
        ++part2;
    std::int64_t total = rate * halfHours / 2 + part2 + addCharge;
    total = std::max(total, minimum);
    return (total + 50) / 100 * 100; // to whole cents, as shown
}

} // namespace

void fillDemo(sqlite3* db, const DemoOptions& options)
{
    Rng rng(options.seed);
    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    const QDate first = today.addYears(-3).addDays(1);
    const int span = int(first.daysTo(today)) + 1;
    constexpr int ahead = 64; // due dates may lie after today

    const std::vector<int> custDept = addReferenceLists(db, rng, options.customers);
    std::int64_t rate = 0, minimum = 0;
    readCosting(db, rate, minimum);

    std::vector<std::string> days(std::size_t(span + ahead));
    for (int i = 0; i < span + ahead; ++i)
        days[std::size_t(i)] = first.addDays(i).toString(Qt::ISODate).toStdString();

    constexpr int variants = 16;
    constexpr int nTemplates = int(std::size(kTemplates));
    std::vector<std::string> requests, responses;
    for (const Template& t : kTemplates)
        for (int k = 0; k < variants; ++k) {
            requests.push_back(join(t.request, kRequestExtras[k % std::size(kRequestExtras)]));
            responses.push_back(join(t.response, kResponseExtras[k % std::size(kResponseExtras)]));
        }

    const int n = std::max(0, options.requests);
    std::vector<int> dayOf(static_cast<std::size_t>(n));
    for (int& d : dayOf)
        d = rng.below(span);
    std::sort(dayOf.begin(), dayOf.end());

    const int nCust = int(custDept.size()), nDept = int(std::size(kDepts)), nStaff = int(std::size(kStaff));
    Stmt ins(db, "INSERT INTO Req (ShortDesc, ReqDesc, Resp, ReqDate, DueDate, ResDate, Resolved, HoursTot, MinTot,"
                 " AddCharge, CostTot, AmtPaid, PaidDate, CustID, DeptID, PriID, CatID, EnteredBy, AssignedTo, Misc1)"
                 " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < n; ++i) {
        const int day = dayOf[std::size_t(i)];
        const int age = span - 1 - day;
        const int t = rng.below(nTemplates);
        const Template& tpl = kTemplates[t];
        const int variant = t * variants + rng.below(variants);

        const bool resolved = age >= 3 && rng.percent(age < 14 ? 40 : age < 60 ? 85 : 97);
        const int resDay = resolved ? day + std::min(age, rng.below(4) * rng.below(4)) : -1;

        ins.text(1, tpl.shortDesc);
        ins.text(2, requests[std::size_t(variant)]);
        if (resolved)
            ins.text(3, responses[std::size_t(variant)]);
        else
            ins.text(3, rng.pick(kOpenResponses));
        ins.text(4, days[std::size_t(day)]);
        if (rng.percent(60))
            ins.text(5, days[std::size_t(day + rng.pick(kDueDays))]);
        else
            ins.null(5);
        if (resolved)
            ins.text(6, days[std::size_t(resDay)]);
        else
            ins.null(6);
        ins.integer(7, resolved ? 1 : 0);

        int halfHours = 0, minutes = 0;
        if (resolved || rng.percent(30)) {
            halfHours = 2 * rng.pick(kHours) + (rng.percent(10) ? 1 : 0);
            minutes = rng.pick(kMinutes);
        }
        ins.real(8, halfHours / 2.0);
        ins.real(9, minutes);
        std::int64_t add = 0;
        const int addKind = rng.below(100);
        if (addKind < 15)
            add = rng.pick(kAddCharges), ins.integer(10, add);
        else if (addKind < 30)
            ins.null(10);
        else
            ins.integer(10, 0);
        const std::int64_t cost = costOf(halfHours, minutes, add, rate, minimum);
        ins.integer(11, cost);

        // Payments: most resolved requests are paid in full, some in part,
        // the rest are still open (0, now and then Null).
        const int payKind = rng.below(100);
        if (resolved && payKind < 78) {
            const std::int64_t paid = payKind < 70 ? cost : cost / 200 * 100; // half, in whole cents
            ins.integer(12, paid);
            const int paidDay = std::min(span - 1, resDay + rng.below(45));
            ins.text(13, days[std::size_t(paidDay)]);
        } else {
            if (payKind >= 96)
                ins.null(12);
            else
                ins.integer(12, 0);
            ins.null(13);
        }

        const int cust = rng.percent(5) || nCust == 0 ? 0 : 1 + rng.below(nCust);
        ins.idOrNull(14, cust);
        int dept = 0;
        const int deptKind = rng.below(100);
        if (cust && custDept[std::size_t(cust - 1)] && deptKind < 85)
            dept = custDept[std::size_t(cust - 1)];
        else if (deptKind < 50)
            dept = 1 + rng.below(nDept);
        ins.idOrNull(15, dept);
        ins.idOrNull(16, rng.percent(5) ? 0 : rng.pick(kPriorityPick));
        ins.idOrNull(17, rng.percent(3) ? 0 : tpl.cat);
        ins.integer(18, 1 + rng.below(nStaff));
        ins.idOrNull(19, !resolved && rng.percent(30) ? 0 : 1 + rng.below(nStaff));
        ins.text(20, rng.percent(20) ? rng.pick(kMisc) : nullptr);
        ins.run();
    }
}

QString createDemoDatabase(const QString& folder, const DemoOptions& options)
{
    return createDatabase(folder, [&](sqlite3* db) { fillDemo(db, options); });
}

} // namespace cvd::tools
