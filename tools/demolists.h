#pragma once
// The lists the demo database is made from (demodata.cpp): departments and
// companies, customers, staff, categories, priorities, request texts and
// the pieces of made-up names and addresses.  Included by demodata.cpp only.
#include <cstdint>

namespace cvd::tools::demo {

// The heading of the demo's bills: a made-up help desk (a new file has none).
constexpr const char* kDemoCompName = "Calvedon Service Desk";
constexpr const char* kDemoCompAdd = "100 Main Street\r\nSpringfield, IL  62701";

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

} // namespace cvd::tools::demo
