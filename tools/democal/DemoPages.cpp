#include "tools/democal/DemoPages.h"

namespace quorvane {

std::string messagePage(std::string_view title, std::string_view message) {
    std::string t = htmlEscape(title);
    return "<HTML><HEAD><TITLE>" + t + "</TITLE></HEAD>\n<BODY BGCOLOR=#FFFFFF>\n<H2>" + t +
           "</H2>\n<P>" + htmlEscape(message) + "</P>\n</BODY></HTML>\n";
}

std::string logInFormPage(std::string_view title, std::string_view message) {
    std::string t = htmlEscape(title);
    return "<HTML><HEAD><TITLE>" + t + "</TITLE></HEAD>\n<BODY BGCOLOR=#FFFFFF>\n<H2>" + t + "</H2>\n<P>" +
           htmlEscape(message) +
           "</P>\n<FORM METHOD=GET ACTION=\"/ocas-bin/ocas.fcgi\">\n<INPUT TYPE=hidden NAME=sub VALUE=web>"
           "<INPUT TYPE=hidden NAME=web VALUE=login>\nUser: <INPUT TYPE=text NAME=srch_query>\n"
           "Password: <INPUT TYPE=password NAME=password>\n<INPUT TYPE=submit NAME=ok VALUE=ok>\n</FORM>\n"
           "</BODY></HTML>\n";
}

std::string redirectPage(std::string_view url) {
    std::string u = htmlEscape(url);
    return "<HTML><HEAD><META http-equiv=\"refresh\" content=\"0;url=" + u +
           "\"><TITLE>Loading</TITLE></HEAD>\n<BODY BGCOLOR=#FFFFFF>\n<P>Loading the day view... <A href=\"" +
           u + "\">continue</A></P>\n</BODY></HTML>\n";
}

}  // namespace quorvane
