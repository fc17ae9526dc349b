% The vocabulary of the HIPAA Privacy Rule case study: the disclosure rules
% of 45 CFR 164.502 to 164.514 that a disclosure log can decide or leave to a
% person, the agreed restrictions of 164.522, the right of access of 164.524
% and the accounting of disclosures of 164.528.
%
% Principals (people and organisations) and message identifiers are strings:
% the log may name any of them.  Attributes, purposes and roles are closed
% vocabularies declared below as constants.  Every log table stores each
% value in its printed form: strings with their double quotes, constants
% bare, dates as year:month:day:hour:minute:second.

(* ------------------------------------------------------------------ *)
(* Sorts                                                               *)
(* ------------------------------------------------------------------ *)

attribute : sort .
purpose : sort .
role : sort .
% How a covered entity de-identified information (164.514(b)).
deidentification-method : sort .
% A span of calendar time counted from a day: the end of the n-th calendar
% day after it, or the same moment n years later.
span : sort .
% A defect that makes an authorisation invalid (164.508(b)(2)).
authorization-defect : sort .

(* ------------------------------------------------------------------ *)
(* Attributes of an individual that a message may carry.  The          *)
(* inclusions among them (what counts as protected health information) *)
(* are rows of the table attr_in_db.                                   *)
(* ------------------------------------------------------------------ *)

phi : attribute .
medical-record : attribute .
diagnosis : attribute .
prescription : attribute .
lab-result : attribute .
treatment-history : attribute .
psychotherapy-notes : attribute .
genetic-information : attribute .
billing-info : attribute .
insurance-id : attribute .
demographics : attribute .
name : attribute .
address : attribute .
date-of-birth : attribute .
location-in-facility : attribute .
general-condition : attribute .
religious-affiliation : attribute .
physical-description : attribute .
limited-data-set : attribute .
de-identified : attribute .
% 164.512(f)(2)(i)(C)-(G): items police may receive for identification.
ssn : attribute .
blood-type : attribute .
injury-type : attribute .
treatment-date : attribute .
death-date : attribute .
% 164.514(f)(1)(ii)-(vi): items a covered entity may use for fundraising.
department-of-service : attribute .
treating-physician : attribute .
outcome-information : attribute .
insurance-status : attribute .
% 164.504(f)(1)(ii), (iii): what a group health plan may give its sponsor.
summary-health-information : attribute .
enrollment-status : attribute .
% 164.512(b)(1)(vi): proof of immunisation for a school.
immunization-record : attribute .
% 164.512(j)(1)(ii)(A): the individual's statement admitting a violent crime.
violent-crime-statement : attribute .
% 164.514(c): a code that lets de-identified information be re-identified.
re-identification-code : attribute .
% 164.512(k)(4): whether the individual was determined to be medically
% suitable, the only item the Department of State's officials may receive.
suitability-determination : attribute .

(* ------------------------------------------------------------------ *)
(* Purposes of a disclosure.  The specific purposes that the scenario  *)
(* generalises come first, then the general purposes, then the         *)
(* purposes of the individual clauses.                                 *)
(* ------------------------------------------------------------------ *)

treatment : purpose .
healthcare-op : purpose .
healthcare-op-para-1-2 : purpose .
payment : purpose .
law-enforcement-relevant-id-or-location : purpose .
report-possible-crime-on-premises : purpose .
alert-of-crime-commission-location-victims-perpetrator : purpose .
suspicious-death-notification : purpose .

Treatment : purpose .
Healthcare-op : purpose .
Payment : purpose .
law-enforcement : purpose .

law-enforcement-court-order : purpose .
crime-victim-information : purpose .
required-by-law : purpose .
public-health : purpose .
abuse-neglect-report : purpose .
health-oversight : purpose .
judicial-proceeding : purpose .
decedent-identification : purpose .
funeral-arrangements : purpose .
organ-donation : purpose .
research : purpose .
serious-threat-prevention : purpose .
military-mission : purpose .
national-security : purpose .
protective-services : purpose .
correctional-custody : purpose .
workers-compensation : purpose .
facility-directory : purpose .
care-involvement : purpose .
disaster-relief : purpose .
marketing : purpose .
% 164.502(a)(5)(ii)(B): a disclosure for which the covered entity receives
% remuneration beyond a reasonable cost-based fee.
sale-of-phi : purpose .
underwriting : purpose .
fundraising : purpose .
compliance-investigation : purpose .
whistleblowing : purpose .
plan-administration : purpose .
individual-access : purpose .
% 164.524(b)(2), (d)(2): the written denial and the written extension notice
% that answer a request for access.
access-denial : purpose .
access-extension-notice : purpose .
% 164.524(c)(3)(ii): a copy sent to the person the individual designated.
access-directive : purpose .
% 164.528(c)(1): the accounting and its extension notice.
accounting-of-disclosures : purpose .
accounting-extension-notice : purpose .
% 164.512(c)(2): telling the victim that a report has been or will be made.
abuse-report-notice : purpose .
% 164.512(b)(1)(ii)-(vi).
child-abuse-report : purpose .
fda-reporting : purpose .
communicable-disease-notification : purpose .
workplace-surveillance : purpose .
school-immunization : purpose .
% 164.508(a)(2)(i)(B), (C).
supervised-training : purpose .
defend-legal-action : purpose .
% 164.506(c)(4)(ii).
fraud-abuse-detection : purpose .
% 164.506(c)(5): health care operations of an organised health care
% arrangement (joint peer review, quality assessment), as the arrangement's
% and not a participant's own.
arrangement-operations : purpose .
% 164.510(b)(1)(ii): notifying family of location, condition or death.
notification : purpose .
% 164.504(f)(1)(ii): premium bids, or amending or ending the plan.
premium-bids-or-plan-change : purpose .
% 164.512(i)(1)(ii): reviews preparatory to research.
research-preparatory : purpose .
% 164.512(j)(1)(ii): identification or apprehension of an individual.
apprehension-of-individual : purpose .
% 164.512(k)(1)(ii)-(iv), (k)(4), (k)(6), (k)(7): the rarer government
% functions.
foreign-military-mission : purpose .
veterans-eligibility : purpose .
medical-suitability-determination : purpose .
public-benefit-program : purpose .
nics-reporting : purpose .
% 164.502(j)(2): a workforce member who is the victim of a crime reports
% the suspect to law enforcement.
workforce-crime-victim-report : purpose .
% 164.504(e)(4): a business associate's own management and administration,
% or its legal responsibilities.
associate-administration : purpose .
% 164.501 "health care operations" (6)(iv): the sale, transfer, merger or
% consolidation of the covered entity, and due diligence for it; excluded
% from "sale of protected health information" by 164.502(a)(5)(ii)(B)(2)(iv).
business-transfer : purpose .
% 164.524(a)(4), (d)(4): the written notice of the reviewing official's
% determination on a denial of access.
access-review-determination : purpose .
% 164.504(f)(3)(iv): employment-related actions or decisions, or another
% benefit plan of the plan sponsor.
employment-decision : purpose .

(* ------------------------------------------------------------------ *)
(* Roles a principal holds at a time (table inrole_db).  The scenario  *)
(* reads health-care-provider also as Health-care-provider.            *)
(* ------------------------------------------------------------------ *)

health-care-provider : role .
Health-care-provider : role .
health-plan : role .
group-health-plan : role .
plan-sponsor : role .
health-care-clearinghouse : role .
covered-entity : role .
business-associate : role .
public-health-authority : role .
government-authority : role .
health-oversight-agency : role .
court : role .
law-enforcement-official : role .
coroner : role .
medical-examiner : role .
funeral-director : role .
organ-procurement-organization : role .
researcher : role .
armed-forces-command : role .
federal-official : role .
correctional-institution : role .
workers-compensation-insurer : role .
clergy : role .
family-member : role .
close-friend : role .
disaster-relief-entity : role .
attorney : role .
secretary-hhs : role .
employer : role .
marketing-firm : role .
% 164.502(j)(1)(i)(A): accreditation organisations.
accreditation-organization : role .
% 164.514(f)(1): an institutionally related foundation.
related-foundation : role .
% 164.510(b)(1)(i): other relatives and persons the individual identified.
other-relative : role .
person-identified-by-individual : role .
% 164.512(b)(1)(i): an official of a foreign government agency acting in
% collaboration with a public health authority.
foreign-health-official : role .
% 164.512(b)(1)(iii), (vi).
fda-regulated-person : role .
school : role .
% Roles of the individual: 164.512(k)(1)(i) Armed Forces personnel and
% 164.512(k)(5)(i) inmates.
armed-forces-member : role .
inmate : role .
% A long-term care issuer is recorded with this role and not as a
% health-plan: 164.502(a)(5)(i) excludes it from the genetic ban.
long-term-care-issuer : role .
% 164.512(k)(5)(i): "an inmate or other individual" in lawful custody: an
% arrestee held by the police is no inmate (164.501) but is in custody.
in-lawful-custody : role .
% 164.510(b)(1)(ii): "another person responsible for the care of the
% individual".
person-responsible-for-care : role .
% 164.502(g)(3): an individual who is an unemancipated minor (a role of the
% individual, like inmate).
unemancipated-minor : role .
% 160.103 "workforce": employees, volunteers, trainees and others under the
% direct control of a covered entity.  With business-associate, the kinds
% of the table acts_for.
workforce-member : role .
% 164.512(k)(2), (k)(4), (k)(6)(ii), (k)(7): recipients of the rarer
% government functions.
foreign-military-authority : role .
veterans-affairs : role .
state-department : role .
government-program-agency : role .
nics-agency : role .
% 164.504(c)(2): a component of a hybrid entity that is not one of its
% health care components.
non-health-care-component : role .

(* How information was de-identified. *)
safe-harbor : deidentification-method .
expert-determination : deidentification-method .

(* Defects of an authorisation: 164.508(b)(2)(ii), (iv) a core element of
   164.508(c)(1) or a required statement of (c)(2) missing or not filled out;
   (b)(2)(v), (b)(3) compound with another document; (b)(2)(v), (b)(4)
   treatment, payment, enrolment or eligibility conditioned on signing;
   (b)(2)(vi) material information known to be false; 164.508(a)(3)(ii),
   (a)(4)(i) the remuneration statement of a marketing or sale authorisation
   missing. *)
missing-core-element : authorization-defect .
compound : authorization-defect .
conditioned : authorization-defect .
known-false : authorization-defect .
no-remuneration-statement : authorization-defect .

(* Calendar spans: 164.524(b)(2) counts 30 and 60 days, 164.528(c)(1) 60
   and 90 days from the day of receipt, each ending with the last calendar
   day; 164.502(f) and 160.103 count 50 years from the death. *)
days-30 : span .
days-60 : span .
days-90 : span .
years-50 : span .

(* ------------------------------------------------------------------ *)
(* Evaluated predicates: decided by the scenario's code.               *)
(* ------------------------------------------------------------------ *)

% (hasattrof m q a): message m carries attribute a of individual q.
hasattrof : string + -> string - -> attribute - -> pred EVAL .
% (attr_in a b): attribute a is included in attribute b.
attr_in : attribute + -> attribute - -> pred EVAL .
eq_prin : string + -> string - -> pred EVAL .
eq_time : date + -> date - -> pred EVAL .
eq_msg : string + -> string - -> pred EVAL .
% (disclose-eval p1 p2 m t): p1 sent message m to p2 at time t.
disclose-eval : string - -> string - -> string - -> date - -> pred EVAL .
% (time_in d1 d2 d3): d1 < d2 <= d3.
time_in : date + -> date + -> date + -> pred EVAL .
% (lessthan d1 d2): d1 <= d2.
lessthan : date + -> date + -> pred EVAL .
% (purp_in m u): message m was disclosed for purpose u (or for a specific
% purpose that u generalises).
purp_in : string + -> purpose - -> pred EVAL .
% (sub_attr a b): a is the attribute b itself.
sub_attr : attribute - -> attribute + -> pred EVAL .
% (inrole p r t): principal p holds role r at time t.
inrole : string + -> role - -> date + -> pred EVAL .

(* Evaluated constructors: deadlines in days. *)

prompt : int EVAL .
t_reasonable : int EVAL .
plus : date -> int -> date EVAL .

(* ------------------------------------------------------------------ *)
(* Log tables.  The first five serve the evaluated predicates above.   *)
(* ------------------------------------------------------------------ *)

attr_in_db : attribute - -> attribute - -> string - -> pred DB
  %dbinfo "attr_in_db" ("subattr", "superattr", "basis") .
hasattrof_db : string - -> string - -> attribute - -> date - -> pred DB
  %dbinfo "hasattrof_db" ("info", "subject", "attr", "recorded") .
disclose : string - -> string - -> string - -> date - -> pred DB
  %dbinfo "disclose" ("sender", "recipient", "info", "at") .
inrole_db : string - -> role - -> date - -> pred DB
  %dbinfo "inrole_db" ("person", "role", "at") .
purp_in_db : string - -> purpose - -> string - -> pred DB
  %dbinfo "purp_in_db" ("info", "purpose", "stated_by") .

% (authorization q p1 p2 a u s e): individual q authorised p1 to disclose
% attribute a to p2 for purpose u; signed at s, valid until e (164.508(c)).
% A revocation is a row of the table revocation; the expiry date stays.
authorization : string - -> string - -> string - -> attribute - -> purpose - -> date - -> date - -> pred DB
  %dbinfo "authorization" ("individual", "discloser", "recipient", "attr", "purpose", "signed", "expires") .
% (authorization_defect q p1 p2 u s x): the authorisation of q for p1 to
% disclose to p2 for purpose u, signed at s, has defect x (found on review of
% the form); it was never valid (164.508(b)(2)).
authorization_defect : string - -> string - -> string - -> purpose - -> date - -> authorization-defect - -> pred DB
  %dbinfo "authorization_defect" ("individual", "discloser", "recipient", "purpose", "signed", "defect") .
% (ba_agreement ce ba s e): business associate contract between the covered
% entity ce and ba, in force from s until e (164.502(e), 164.504(e)).
ba_agreement : string - -> string - -> date - -> date - -> pred DB
  %dbinfo "ba_agreement" ("covered_entity", "associate", "signed", "ends") .
% (personal_rep r q s e): r is the personal representative of q from s
% until e (164.502(g)).
personal_rep : string - -> string - -> date - -> date - -> pred DB
  %dbinfo "personal_rep" ("representative", "individual", "since", "until") .
% (no_objection q ce u s): q was told of disclosures by ce for purpose u and
% given the opportunity to object, and did not object, recorded at s.
no_objection : string - -> string - -> purpose - -> date - -> pred DB
  %dbinfo "no_objection" ("individual", "covered_entity", "purpose", "recorded") .
% (objection q ce u s): q, given the opportunity, objected at s to
% disclosures by ce for purpose u (164.510(a)(2), (b)(2)); a later
% no_objection for the purpose withdraws it.
objection : string - -> string - -> purpose - -> date - -> pred DB
  %dbinfo "objection" ("individual", "covered_entity", "purpose", "recorded") .
% (notice_statement ce u s): from s the notice of privacy practices of ce
% carries the statement 164.520(b)(1)(iii) requires for purpose u (for
% fundraising, that the entity may contact the individual to raise funds
% and that the individual may opt out; for plan-administration, that the
% plan or its issuer may disclose to the plan sponsor; for underwriting,
% that a health plan may not use or disclose genetic information for it).
notice_statement : string - -> purpose - -> date - -> pred DB
  %dbinfo "notice_statement" ("covered_entity", "purpose", "effective") .
% (relationship q ce s): q has been a patient or member of ce since s.
relationship : string - -> string - -> date - -> pred DB
  %dbinfo "relationship" ("individual", "entity", "since") .
% (protocol ce u a): the standard protocol of ce for routine disclosures
% for purpose u includes attribute a (164.514(d)(3)(i)).
protocol : string - -> purpose - -> attribute - -> pred DB
  %dbinfo "protocol" ("covered_entity", "purpose", "attr") .
% (data_use_agreement ce r s e): data use agreement for a limited data set.
data_use_agreement : string - -> string - -> date - -> date - -> pred DB
  %dbinfo "data_use_agreement" ("covered_entity", "recipient", "signed", "ends") .
% (deceased q d): individual q died at d.
deceased : string - -> date - -> pred DB
  %dbinfo "deceased" ("individual", "died") .
% (access_request q ce r): q asked ce for access to q's record, received at r.
access_request : string - -> string - -> date - -> pred DB
  %dbinfo "access_request" ("individual", "covered_entity", "received") .
% (audit_end e): the log records every event up to e.  A deadline that falls
% before e and that the log does not show met is missed; one that falls
% after e is still open.
audit_end : date - -> pred DB
  %dbinfo "audit_end" ("time") .
% (revocation q p1 p2 u r): q revoked the authorisation letting p1 disclose
% to p2 for purpose u; ce received the revocation at r (164.508(b)(5)).
revocation : string - -> string - -> string - -> purpose - -> date - -> pred DB
  %dbinfo "revocation" ("individual", "discloser", "recipient", "purpose", "received") .
% (restriction q ce a s e): ce agreed with q to restrict disclosures of
% attribute a from s until the restriction was terminated at e (164.522(a)).
restriction : string - -> string - -> attribute - -> date - -> date - -> pred DB
  %dbinfo "restriction" ("individual", "covered_entity", "attr", "agreed", "ends") .
% (self_pay_restriction q ce a s): q, having paid ce in full out of pocket
% for the items or services that attribute a is about, asked at s that it
% not be disclosed to a health plan (164.522(a)(1)(vi)).
self_pay_restriction : string - -> string - -> attribute - -> date - -> pred DB
  %dbinfo "self_pay_restriction" ("individual", "covered_entity", "attr", "requested") .
% (accounting_request q ce r): q asked ce for an accounting of disclosures,
% received at r (164.528).
accounting_request : string - -> string - -> date - -> pred DB
  %dbinfo "accounting_request" ("individual", "covered_entity", "received") .
% (verification ce p s): ce verified the identity and authority of the
% requester p at s (164.514(h)).
verification : string - -> string - -> date - -> pred DB
  %dbinfo "verification" ("covered_entity", "requester", "verified") .
% (deidentification m x s): the information in message m was de-identified
% by method x, documented at s (164.514(b)).
deidentification : string - -> deidentification-method - -> date - -> pred DB
  %dbinfo "deidentification" ("info", "method", "documented") .
% (fundraising_opt_out q ce s): q elected at s not to receive fundraising
% communications from ce (164.514(f)(2)(ii)).
fundraising_opt_out : string - -> string - -> date - -> pred DB
  %dbinfo "fundraising_opt_out" ("individual", "covered_entity", "elected") .
% (access_directive q d s): q asked in writing at s that a copy be sent to
% the designated person d (164.524(c)(3)(ii)).
access_directive : string - -> string - -> date - -> pred DB
  %dbinfo "access_directive" ("individual", "designee", "requested") .
% (acts_for p ce k t): at t, p acts for the covered entity ce as one of its
% workforce (k = workforce-member) or as its business associate (k =
% business-associate); what p discloses then, ce discloses (160.103
% "workforce", 164.502(e)).  Computed from the periods of acts_for_periods,
% one row for each disclosure that p sends while a period lasts.
acts_for : string - -> string - -> role - -> date - -> pred DB
  %dbinfo "acts_for_db" ("person", "entity", "kind", "at") .
% (ohca_participant o ce s e): the covered entity ce takes part in the
% organised health care arrangement o from s until e (164.501, 164.506(c)(5)).
ohca_participant : string - -> string - -> date - -> date - -> pred DB
  %dbinfo "ohca_participant" ("arrangement", "participant", "joined", "ends") .
% (calendar_span s n e): the span n counted from s ends at e, in the local
% time zone: for days-30 the last second of the 30th calendar day after the
% day of s; for years-50 the same moment 50 years later.  Computed for the
% receipt of every access and accounting request and every death.
calendar_span : date - -> span - -> date - -> pred DB
  %dbinfo "calendar_span" ("start", "span", "ends") .
% (ba_agreement_purpose ce p u): the business associate contract of ce with
% p permits p to use and disclose the information for purpose u
% (164.504(e)(2)(i)).  A contract with no such row records no scope.
ba_agreement_purpose : string - -> string - -> purpose - -> pred DB
  %dbinfo "ba_agreement_purpose" ("covered_entity", "associate", "purpose") .
% (data_use_agreement_defect ce r s): the data use agreement of ce with r,
% signed at s, lacks a term that 164.514(e)(4)(ii) requires; it never made a
% limited data set disclosable.
data_use_agreement_defect : string - -> string - -> date - -> pred DB
  %dbinfo "data_use_agreement_defect" ("covered_entity", "recipient", "signed") .
% (notice_limitation ce u s): from s, the notice of privacy practices of ce
% states that ce will not disclose for purpose u (164.520(b)(2)(i)).
notice_limitation : string - -> purpose - -> date - -> pred DB
  %dbinfo "notice_limitation" ("covered_entity", "purpose", "effective") .
% (coverage_not_placed hp q s): the health plan hp received q's information
% for underwriting, premium rating or a contract of insurance, and the
% insurance was not placed with it, as known at s (164.514(g)).
coverage_not_placed : string - -> string - -> date - -> pred DB
  %dbinfo "coverage_not_placed" ("health_plan", "individual", "decided") .
% (confidential_communication q ce s): ce accommodated at s q's request to
% receive communications by alternative means or at an alternative location
% (164.522(b)(1)).
confidential_communication : string - -> string - -> date - -> pred DB
  %dbinfo "confidential_communication" ("individual", "covered_entity", "agreed") .
% (access_review_request q ce r): q asked at r that a denial of access on a
% reviewable ground be reviewed (164.524(a)(4), (d)(4)).
access_review_request : string - -> string - -> date - -> pred DB
  %dbinfo "access_review_request" ("individual", "covered_entity", "received") .

(* ------------------------------------------------------------------ *)
(* Subjective judgements that the law leaves to people.  They always   *)
(* stay in the residual formula for a human auditor; the policy names  *)
(* each one with its paragraph and the suffix -subj.                   *)
(* ------------------------------------------------------------------ *)

% 164.502(b), 164.514(d)(3)(ii): a non-routine disclosure was reviewed and
% limited to the minimum necessary.
minimum-necessary-reviewed : string + -> string + -> string + -> pred SUBJ .
% 164.506(c)(4): the information pertains to the recipient's relationship
% with the individual.
pertains-to-relationship : string + -> string + -> pred SUBJ .
% 164.502(g)(2): the information is relevant to the representation.
relevant-to-representation : string + -> string + -> pred SUBJ .
% 164.502(g)(3): the parent, guardian or person in loco parentis may
% receive this information about the unemancipated minor: the care it is
% about is none the minor consented to alone ((g)(3)(i)(A), (B)) nor under a
% confidentiality agreement the parent assented to ((C)), or State or other
% law permits the disclosure ((g)(3)(ii)(A)) and none prohibits it ((B)).
parent-may-receive-minors-information : string + -> string + -> pred SUBJ .
% 164.514(d)(5): the entire medical record is specifically justified as
% the amount reasonably necessary.
entire-record-justified : string + -> string + -> pred SUBJ .
% 164.502(j)(1): good faith belief of unlawful conduct or endangerment.
good-faith-unlawful-conduct : string + -> pred SUBJ .
% 164.504(f)(2): the plan documents restrict the plan sponsor's use.
plan-documents-amended : string + -> string + -> pred SUBJ .
% 164.508(a)(2)(i)(C): the legal action was brought by the individual.
action-brought-by-individual : string + -> string + -> pred SUBJ .
% 164.508(a)(2)(ii): the oversight is of the originator of the notes.
oversight-of-originator : string + -> string + -> pred SUBJ .
% 164.508(a)(3)(i): face-to-face marketing, or a promotional gift of
% nominal value.
face-to-face-or-nominal-gift : string + -> string + -> pred SUBJ .
% 164.508(b)(5)(i): the covered entity acted in reliance on the
% authorisation before it received the revocation.
acted-in-reliance : string + -> string + -> pred SUBJ .
% 164.510(a)(1)(ii)(B): the recipient asked for the individual by name.
asked-for-by-name : string + -> string + -> pred SUBJ .
% 164.510(a)(3), 164.510(b)(3): emergency or incapacity, and the disclosure
% is in the individual's best interest in professional judgement.
incapacity-or-emergency : string + -> pred SUBJ .
% 164.510(a)(3)(i)(A): the directory disclosure is consistent with a prior
% expressed preference of the individual known to the provider.
consistent-with-prior-preference : string + -> string + -> pred SUBJ .
professional-judgement-best-interest : string + -> string + -> pred SUBJ .
% 164.510(b)(1)(i): the information is directly relevant to the
% recipient's involvement with the individual's care or payment.
directly-relevant-to-involvement : string + -> string + -> pred SUBJ .
% 164.510(b)(2)(iii): the entity reasonably infers from the circumstances
% that the individual does not object.
infers-no-objection : string + -> string + -> pred SUBJ .
% 164.510(b)(4): the requirements of (b)(2), (b)(3) would interfere with
% the response to the emergency.
requirements-interfere-with-emergency : string + -> string + -> pred SUBJ .
% 164.510(b)(5): the recipient was involved in the care before the death,
% and no prior expressed preference of the individual is against it.
involved-before-death-no-contrary-preference : string + -> string + -> pred SUBJ .
% 164.512(a), 164.512(c)(1)(i), 164.512(f)(1)(i): a law requires the
% disclosure and it complies with and is limited to that law.
required-by-law-and-limited : string + -> string + -> string + -> pred SUBJ .
% 164.512(b)(1)(i): the public health authority is authorised by law to
% collect or receive the information for this activity.
authorized-by-law-for-activity : string + -> string + -> pred SUBJ .
% 164.512(b)(1)(i): a public health authority directed the disclosure to
% the foreign official.
directed-by-public-health-authority : string + -> string + -> pred SUBJ .
% 164.512(b)(1)(iii): the recipient is responsible for the FDA-regulated
% product or activity the information is about.
fda-responsibility : string + -> string + -> pred SUBJ .
% 164.512(b)(1)(iv): the entity is authorised by law to notify the person.
communicable-disease-notice-authorized : string + -> string + -> pred SUBJ .
% 164.512(b)(1)(v)(A)-(D): care given at the employer's request, findings
% of a work-related illness or injury the employer must record, notice to
% the individual.
workplace-surveillance-conditions : string + -> string + -> pred SUBJ .
% 164.512(b)(1)(vi): the agreement of the parent, guardian or individual
% was obtained and documented.
school-immunization-agreement : string + -> string + -> pred SUBJ .
% 164.512(c)(1): reasonable belief that the individual is a victim of abuse,
% neglect or domestic violence; the individual agreed (c)(1)(ii); a statute
% expressly authorises it and (c)(1)(iii)(A) or (B) holds.
believes-victim-of-abuse : string + -> string + -> pred SUBJ .
individual-agreed : string + -> string + -> pred SUBJ .
expressly-authorized-harm-or-incapacity : string + -> string + -> pred SUBJ .
% 164.512(c)(2)(i), (ii): informing the individual would place them at
% risk of serious harm, or the person to be informed is responsible for
% the abuse.
informing-would-endanger : string + -> string + -> pred SUBJ .
% 164.512(d)(2): the individual is not the subject of the investigation,
% or it arises out of the receipt of health care or a health benefit claim.
oversight-nexus : string + -> string + -> pred SUBJ .
% 164.512(e)(1): the order expressly authorises the information; the
% subpoena came with satisfactory assurances; the entity itself gave
% notice or sought a qualified protective order (e)(1)(vi).
court-order-covers : string + -> string + -> pred SUBJ .
subpoena-with-satisfactory-assurance : string + -> string + -> pred SUBJ .
own-notice-or-protective-order : string + -> string + -> pred SUBJ .
% 164.512(f)(1)(ii)(A), (B): a court order, warrant, subpoena or summons,
% or a grand jury subpoena; (C): an administrative request that is
% relevant, specific and limited, where de-identified data would not do.
court-process-covers : string + -> string + -> pred SUBJ .
administrative-request-qualifies : string + -> string + -> pred SUBJ .
% 164.512(f)(2): the official asked for identification or location.
identification-request : string + -> string + -> pred SUBJ .
% 164.512(f)(3): the victim agreed, or cannot agree and the conditions of
% (f)(3)(ii) hold.
victim-agreement-or-exception : string + -> string + -> pred SUBJ .
% 164.512(f)(4): suspicion that the death resulted from criminal conduct.
suspects-criminal-death : string + -> string + -> pred SUBJ .
% 164.512(f)(5): good faith belief of evidence of a crime on the premises.
good-faith-crime-on-premises : string + -> string + -> pred SUBJ .
% 164.512(f)(6)(i): the provider is giving emergency care off the
% premises; (f)(6)(ii): the emergency is not the result of abuse, neglect or
% domestic violence of the individual.
emergency-care-off-premises : string + -> string + -> pred SUBJ .
emergency-not-from-abuse : string + -> string + -> pred SUBJ .
% 164.512(g)(2), 164.512(i)(1)(iii): death is reasonably anticipated; the
% researcher's representations about decedents' information.
death-reasonably-anticipated : string + -> string + -> pred SUBJ .
decedent-research-representation : string + -> string + -> pred SUBJ .
% 164.512(i)(1)(i), (i)(2): waiver of authorisation approved by an IRB or
% privacy board, documented as (i)(2) requires.
research-waiver-approved : string + -> string + -> pred SUBJ .
% 164.512(i)(1)(ii): the researcher's representations for a review
% preparatory to research.
preparatory-research-representation : string + -> string + -> pred SUBJ .
% 164.512(j)(1): good faith belief of a serious and imminent threat, and the
% recipient is reasonably able to prevent or lessen it.
good-faith-serious-threat : string + -> string + -> pred SUBJ .
% 164.512(j)(1)(ii)(A), (j)(2): a statement admitting a violent crime
% that may have caused serious harm, not learnt in treatment for the
% propensity to commit it; (B): an escape from lawful custody.
admitted-violent-crime : string + -> string + -> pred SUBJ .
escaped-from-custody : string + -> string + -> pred SUBJ .
% 164.512(k): the activity is an authorised one of the recipient.
authorised-government-function : string + -> string + -> pred SUBJ .
% 164.512(k)(5)(i): the recipient has lawful custody of the individual, who
% is not recorded as an inmate or as held in custody.
has-lawful-custody : string + -> string + -> pred SUBJ .
% 164.502(j)(2): the workforce member is the victim of a criminal act and
% discloses only about the suspected perpetrator, limited to 164.512(f)(2)(i).
workforce-crime-victim-conditions : string + -> string + -> pred SUBJ .
% 164.512(l): the disclosure complies with workers' compensation law.
complies-with-workers-comp-law : string + -> string + -> pred SUBJ .
% 164.514(b)(2)(i): the eighteen identifiers of the safe harbour were removed
% (where no documentation of the method is recorded).
identifiers-removed : string + -> string + -> pred SUBJ .
% 164.514(b)(2)(ii): no actual knowledge that the rest could identify.
no-actual-knowledge-of-identifiability : string + -> string + -> pred SUBJ .
% 164.514(h)(1): the identity and authority of the requester were known.
identity-and-authority-known : string + -> string + -> pred SUBJ .
% 164.522(a)(1)(iii): emergency treatment needs the restricted information.
emergency-treatment-needs-restricted-info : string + -> string + -> pred SUBJ .
% 164.524(a)(2), (a)(3): unreviewable and reviewable grounds for denying
% access exist.
unreviewable-denial-ground : string + -> string + -> pred SUBJ .
% 164.504(e)(4): the disclosure is needed for the associate's management
% and administration or legal responsibilities, the contract permits it, and
% it is required by law or the recipient gave reasonable assurances.
associate-administration-conditions : string + -> string + -> pred SUBJ .
% 164.504(g): the disclosure by an entity that is both plan and provider
% relates to the function it performs for this individual.
related-to-function : string + -> string + -> pred SUBJ .
% 164.512(k)(6)(i): a statute or regulation requires or expressly
% authorises the sharing of eligibility or enrolment information.
eligibility-sharing-authorized : string + -> string + -> pred SUBJ .
% 164.522(b)(1): the communication went by the means or to the location
% the individual asked for.
sent-as-requested : string + -> string + -> pred SUBJ .
% 164.524(d)(1): the grounds for denial covered all the information
% requested, so that no part could be granted.
denial-covers-all-requested : string + -> string + -> pred SUBJ .
% 164.524(d)(4): the reviewing official is a licensed health care
% professional who did not take part in the original denial.
independent-reviewing-official : string + -> string + -> pred SUBJ .
reviewable-denial-ground : string + -> string + -> pred SUBJ .
